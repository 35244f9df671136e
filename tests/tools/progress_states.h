#pragma once
// The two progress states the kill test alternates between: a short one and a long one,
// so that a half-written file could never pass for either.

#include <string>
#include <vector>

#include "model/achievement.h"

inline std::vector<Achievement> KillTestAchievements() {
    std::vector<Achievement> records;
    for (int i = 0; i < 80; ++i) {
        Achievement record;
        record.id = u"achievement-" + std::u16string(static_cast<size_t>(i % 7 + 1), u'x');
        record.id += static_cast<char16_t>(u'A' + i % 26);
        record.id += static_cast<char16_t>(u'0' + i / 26);
        if (i % 5 == 0) record.id += u"\u6210\u5C31";  // stored as UTF-8
        records.push_back(record);
    }
    return records;
}

// State 0 completes three records, state 1 completes all but one.
inline void SetKillTestState(std::vector<Achievement>& records, int state) {
    for (size_t i = 0; i < records.size(); ++i) {
        records[i].completed = state == 0 ? i < 3 : i != 40;
    }
}
