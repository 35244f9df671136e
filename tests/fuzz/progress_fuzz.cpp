// Feeds arbitrary bytes to the progress reader, and takes the same bytes, split at LF, as
// configured ids (one byte per character, and again decoded as UTF-8 for wide ids) for a save
// and a reload. What a save writes must read back: every completed id that can be stored at
// all reads back as completed, and no line overturns the flag of another achievement.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "progress/progress_format.h"
#include "tests/fuzz/fuzz_check.h"
#include "text/utf8.h"

namespace {

// An id with '=' splits inside itself on reading, and one with 0x1A would end the text.
bool Storable(const std::u16string& id) {
    return id.find(u'=') == std::u16string::npos && id.find(u'\x1A') == std::u16string::npos;
}

std::vector<Achievement> IdsFrom(std::string_view bytes) {
    std::vector<Achievement> records;
    std::size_t begin = 0;
    while (begin <= bytes.size() && records.size() < 64) {
        std::size_t end = bytes.find('\n', begin);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view piece = bytes.substr(begin, end - begin);
        Achievement latin1;
        for (const char byte : piece) latin1.id.push_back(static_cast<unsigned char>(byte));
        latin1.completed = piece.size() % 2 == 0;
        records.push_back(latin1);
        Achievement wide;
        wide.id = Utf8ToUtf16(piece);
        wide.completed = piece.size() % 3 != 0;
        records.push_back(wide);
        begin = end + 1;
    }
    return records;
}

void CheckRoundTrip(const std::vector<Achievement>& records) {
    const std::string file = SerializeProgress(records);
    const CompletedMap read = ParseProgress(file);
    for (const Achievement& record : records) {
        if (!Storable(record.id)) continue;
        bool completed = false;
        for (const Achievement& other : records)
            completed = completed || (other.id == record.id && other.completed);
        const auto found = read.find(record.id);
        const bool read_completed = found != read.end() && found->second;
        FUZZ_REQUIRE(read_completed == completed);
    }
    // Only lines for completed records are written, each ended by CR LF.
    FUZZ_REQUIRE(file.empty() || file.size() >= 2);
    if (!file.empty()) FUZZ_REQUIRE(file.substr(file.size() - 2) == "\r\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const CompletedMap map = ParseProgress(bytes);
    for (const auto& [key, completed] : map) {
        FUZZ_REQUIRE(key.find(u'\n') == std::u16string::npos);
        FUZZ_REQUIRE(key.find(u'=') == std::u16string::npos);
        FUZZ_REQUIRE(key.find(u'\x1A') == std::u16string::npos);
        FUZZ_REQUIRE(key.size() <= size);
    }

    CheckRoundTrip(IdsFrom(bytes));
    return 0;
}
