#pragma once
// A tracker over the test double, with its progress file in a fresh temp folder, and helpers
// to read back what the check pass left behind: posted records, list content, file bytes.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/window_messages.h"
#include "tests/fake/fake_platform.h"
#include "tests/files/progress_test_folder.h"
#include "text/utf8.h"
#include "tracker/config_reload.h"
#include "tracker/tracker.h"

inline void* const MAIN_WINDOW = reinterpret_cast<void*>(0x5000);
inline void* const COMPLETED_LIST = reinterpret_cast<void*>(0x1001);
inline void* const PENDING_LIST = reinterpret_cast<void*>(0x1002);

inline Achievement Record(std::u16string id, std::u16string title, TriggerType type,
                          std::u16string value) {
    Achievement record;
    record.id = std::move(id);
    record.title = std::move(title);
    record.description = u"d";
    record.trigger_description = u"t";
    record.trigger_value = std::move(value);
    record.trigger_type = type;
    return record;
}

// bin\adv.json in the line layout, one member per line, for these records.
inline std::string ConfigText(const std::vector<Achievement>& records) {
    const auto member = [](const char* key, const std::u16string& value, bool last = false) {
        return std::string("            \"") + key + "\": \"" + Utf16ToUtf8(value) + "\"" +
               (last ? "\n" : ",\n");
    };
    std::string text = "{\n    \"achievements\": [\n";
    for (std::size_t index = 0; index < records.size(); ++index) {
        const Achievement& record = records[index];
        text += "        {\n" + member("id", record.id) + member("title", record.title) +
                member("description", record.description) +
                member("trigger_description", record.trigger_description) +
                member("trigger_value", record.trigger_value);
        if (!record.trigger_goal.empty()) text += member("trigger_goal", record.trigger_goal);
        text += member(
            "trigger_type",
            record.trigger_type == TriggerType::ProcessName ? u"process_name" : u"window_title",
            true);
        text += index + 1 < records.size() ? "        },\n" : "        }\n";
    }
    return text + "    ]\n}\n";
}

class CheckFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFake();
        tracker_ = std::make_unique<AchievementTracker>(
            MAIN_WINDOW, Utf8ToUtf16(folder_.string() + "/Laurelight.exe"));
        tracker_->completed_list = COMPLETED_LIST;
        tracker_->pending_list = PENDING_LIST;
    }

    void TearDown() override {
        tracker_.reset();
        TakePosts();
    }

    // Takes ownership of every record posted so far, as the main window would.
    std::vector<std::unique_ptr<Achievement>> TakePosts() {
        std::lock_guard<std::mutex> lock(Fake().mutex);
        std::vector<std::unique_ptr<Achievement>> records;
        for (const FakePost& post : Fake().posts) {
            EXPECT_EQ(post.window, MAIN_WINDOW);
            if (post.message == WM_SAVE_STATUS_CHANGED) {  // carries nothing to own
                ++status_posts_;
                continue;
            }
            if (post.message == WM_CONFIG_RELOADED) {
                reloads_.emplace_back(reinterpret_cast<ConfigReload*>(post.lparam));
                continue;
            }
            EXPECT_EQ(post.message, WM_ACHIEVEMENT_UNLOCKED);
            EXPECT_EQ(post.wparam, 0u);
            records.emplace_back(reinterpret_cast<Achievement*>(post.lparam));
        }
        Fake().posts.clear();
        return records;
    }

    std::string ProgressBytes() const { return scratch_.Read("adv_save.txt"); }

    std::vector<std::u16string> ListContent(void* list) {
        std::lock_guard<std::mutex> lock(Fake().mutex);
        return Fake().lists[list];
    }

    ProgressTestFolder scratch_;
    const std::filesystem::path folder_ = scratch_.path();
    std::unique_ptr<AchievementTracker> tracker_;
    int status_posts_ = 0;  // WM_SAVE_STATUS_CHANGED seen by TakePosts
    std::vector<std::unique_ptr<ConfigReload>> reloads_;  // WM_CONFIG_RELOADED seen by it
};
