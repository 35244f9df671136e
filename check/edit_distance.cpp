#include "check/edit_distance.h"

#include <algorithm>
#include <vector>

std::size_t TypoLimit(std::size_t length) {
    return std::min<std::size_t>(length / 4, 2);
}

// Two rows of the usual table; a row whose least entry exceeds the limit ends the count.
std::size_t EditDistance(std::u16string_view a, std::u16string_view b, std::size_t limit) {
    const std::size_t beyond = limit + 1;
    if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit) return beyond;
    std::vector<std::size_t> previous(b.size() + 1);
    std::vector<std::size_t> current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        std::size_t least = current[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t replace = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({replace, previous[j] + 1, current[j - 1] + 1});
            least = std::min(least, current[j]);
        }
        if (least > limit) return beyond;
        previous.swap(current);
    }
    return std::min(previous[b.size()], beyond);
}

// The same table with the text along one side, where a match may start at any position for
// free; each cell also carries where its match starts.
NearestPart FindNearestPart(std::u16string_view text, std::u16string_view pattern,
                            std::size_t limit) {
    struct Cell {
        std::size_t cost;
        std::size_t begin;
    };
    const std::size_t m = pattern.size();
    std::vector<Cell> previous(m + 1);
    std::vector<Cell> current(m + 1);
    for (std::size_t i = 0; i <= m; ++i) previous[i] = {i, 0};
    NearestPart best{previous[m].cost, 0, 0};
    for (std::size_t j = 1; j <= text.size(); ++j) {
        current[0] = {0, j};
        for (std::size_t i = 1; i <= m; ++i) {
            Cell cell{previous[i - 1].cost + (pattern[i - 1] == text[j - 1] ? 0 : 1),
                      previous[i - 1].begin};
            if (previous[i].cost + 1 < cell.cost) cell = {previous[i].cost + 1, previous[i].begin};
            if (current[i - 1].cost + 1 < cell.cost) {
                cell = {current[i - 1].cost + 1, current[i - 1].begin};
            }
            current[i] = cell;
        }
        if (current[m].cost < best.distance) best = {current[m].cost, current[m].begin, j};
        previous.swap(current);
    }
    if (best.distance > limit) best = {limit + 1, 0, 0};
    return best;
}
