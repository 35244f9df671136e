// The check pass over the test double: what fires, what does not, and what one unlock leaves
// behind in the tracker, the progress file, the lists and the posted messages.

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "app/achievement_lists.h"
#include "tests/core/check_fixture.h"

namespace {

void SetProcesses(std::vector<std::u16string> names) {
    std::lock_guard<std::mutex> lock(Fake().mutex);
    Fake().process_names = std::move(names);
}

void SetTitles(std::vector<std::u16string> titles) {
    std::lock_guard<std::mutex> lock(Fake().mutex);
    Fake().window_titles = std::move(titles);
}

// Each refill resets both lists and then adds every item; returns what each refill put
// into the completed list, in order.
std::vector<std::vector<std::u16string>> CompletedListPerRefill() {
    std::vector<std::vector<std::u16string>> refills;
    std::lock_guard<std::mutex> lock(Fake().mutex);
    for (const auto& [list, text] : Fake().list_calls) {
        if (text == u"<reset>") {
            if (list == kCompletedList) refills.emplace_back();
            continue;
        }
        if (list == kCompletedList) refills.back().push_back(text);
    }
    return refills;
}

}  // namespace

using TriggerCheck = CheckFixture;

TEST_F(TriggerCheck, MetTriggersCompleteInVectorOrderEachWithItsOwnRefillAndPost) {
    tracker_->achievements = {
        Record(u"calc", u"Counter", TriggerType::ProcessName, u"calc.exe"),
        Record(u"never", u"Never", TriggerType::ProcessName, u"absent.exe"),
        Record(u"pad", u"Writer", TriggerType::WindowTitle, u"Notepad"),
    };
    SetProcesses({u"init", u"CALC.EXE"});
    SetTitles({u"Untitled - Notepad"});

    tracker_->CheckTriggers();

    EXPECT_TRUE(tracker_->achievements[0].completed);
    EXPECT_FALSE(tracker_->achievements[1].completed);
    EXPECT_TRUE(tracker_->achievements[2].completed);
    EXPECT_EQ(tracker_->completed_map, (CompletedMap{{u"calc", true}, {u"pad", true}}));

    auto posts = TakePosts();
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[0]->id, u"calc");
    EXPECT_EQ(posts[0]->title, u"Counter");
    EXPECT_TRUE(posts[0]->completed);
    EXPECT_EQ(posts[1]->id, u"pad");
    EXPECT_EQ(posts[1]->title, u"Writer");
    EXPECT_EQ(posts[1]->trigger_value, u"Notepad");
    EXPECT_TRUE(posts[1]->completed);

    // The first refill already shows the first unlock, the second shows both.
    const auto refills = CompletedListPerRefill();
    ASSERT_EQ(refills.size(), 2u);
    EXPECT_EQ(refills[0], (std::vector<std::u16string>{ItemText(tracker_->achievements[0])}));
    EXPECT_EQ(refills[1], (std::vector<std::u16string>{ItemText(tracker_->achievements[0]),
                                                       ItemText(tracker_->achievements[2])}));
    EXPECT_EQ(ListContent(kPendingList),
              (std::vector<std::u16string>{ItemText(tracker_->achievements[1])}));
    EXPECT_EQ(ProgressBytes(), "calc=done\r\npad=done\r\n");

    // The triggers stay met: later passes test only the open record and unlock nothing.
    const int resets = ListResets();
    tracker_->CheckTriggers();
    EXPECT_TRUE(tracker_->TryCheckTriggers());
    EXPECT_TRUE(TakePosts().empty());
    EXPECT_EQ(ListResets(), resets);
    std::lock_guard<std::mutex> lock(Fake().mutex);
    EXPECT_EQ(Fake().process_walks, 2 + 2);
    EXPECT_EQ(Fake().title_walks, 1);
}

TEST_F(TriggerCheck, SharedIdCompletesTheFirstOpenRecordThenTheOtherOnALaterPass) {
    tracker_->achievements = {
        Record(u"DUP", u"Other case", TriggerType::None, u""),
        Record(u"dup", u"First", TriggerType::ProcessName, u"never.exe"),
        Record(u"dup", u"Second", TriggerType::ProcessName, u"calc.exe"),
    };
    SetProcesses({u"calc.exe"});

    tracker_->CheckTriggers();
    EXPECT_FALSE(tracker_->achievements[0].completed);
    EXPECT_TRUE(tracker_->achievements[1].completed);
    EXPECT_FALSE(tracker_->achievements[2].completed);
    auto first = TakePosts();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0]->title, u"First");
    EXPECT_EQ(ProgressBytes(), "dup=done\r\n");

    tracker_->CheckTriggers();
    EXPECT_FALSE(tracker_->achievements[0].completed);
    EXPECT_TRUE(tracker_->achievements[2].completed);
    auto second = TakePosts();
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0]->title, u"Second");
    EXPECT_EQ(tracker_->completed_map, (CompletedMap{{u"dup", true}}));
}

TEST_F(TriggerCheck, FailedPostFreesTheCopyAndTheUnlocksStand) {
    tracker_->achievements = {
        Record(u"a", u"A", TriggerType::ProcessName, u"calc.exe"),
        Record(u"b", u"B", TriggerType::WindowTitle, u"Paint"),
    };
    tracker_->completed_map[u"older"] = true;
    SetProcesses({u"calc.exe"});
    SetTitles({u"Paint"});
    {
        std::lock_guard<std::mutex> lock(Fake().mutex);
        Fake().post_succeeds = false;
    }

    tracker_->CheckTriggers();  // the leak checker of the sanitizer build sees a kept copy

    EXPECT_TRUE(TakePosts().empty());
    EXPECT_TRUE(tracker_->achievements[0].completed);
    EXPECT_TRUE(tracker_->achievements[1].completed);
    EXPECT_EQ(tracker_->completed_map,
              (CompletedMap{{u"a", true}, {u"b", true}, {u"older", true}}));
    EXPECT_EQ(ProgressBytes(), "a=done\r\nb=done\r\n");
    EXPECT_EQ(ListContent(kCompletedList).size(), 2u);
    EXPECT_TRUE(ListContent(kPendingList).empty());
}

TEST_F(TriggerCheck, PassWithNothingToTestTouchesNoPlatform) {
    Achievement done = Record(u"done", u"Done", TriggerType::ProcessName, u"calc.exe");
    done.completed = true;
    Achievement done_title = Record(u"seen", u"Seen", TriggerType::WindowTitle, u"|");
    done_title.completed = true;
    tracker_->achievements = {
        done,
        done_title,
        Record(u"none", u"None", TriggerType::None, u"calc.exe"),
        Record(u"odd", u"Odd", static_cast<TriggerType>(7), u"calc.exe"),
        Record(u"empty", u"Empty", TriggerType::WindowTitle, u""),
        Record(u"empty2", u"Empty", TriggerType::ProcessName, u""),
    };
    SetProcesses({u"calc.exe"});
    SetTitles({u"| calc.exe"});

    tracker_->CheckTriggers();
    EXPECT_TRUE(tracker_->TryCheckTriggers());

    std::lock_guard<std::mutex> lock(Fake().mutex);
    EXPECT_EQ(Fake().calls, 0);
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
    for (const Achievement& record : tracker_->achievements) {
        EXPECT_EQ(record.completed, record.id == u"done" || record.id == u"seen");
    }
}

TEST_F(TriggerCheck, TimerPassIsSkippedWhileAnotherPassRuns) {
    tracker_->achievements = {Record(u"a", u"A", TriggerType::ProcessName, u"calc.exe")};
    SetProcesses({u"calc.exe"});
    {
        std::lock_guard<std::mutex> running_pass(tracker_->pass_mutex);
        std::atomic<bool> skipped{false};
        // Another thread, as the UI timer: the lock is held by "the monitor thread" here.
        std::thread timer([&] { skipped = !tracker_->TryCheckTriggers(); });
        timer.join();
        EXPECT_TRUE(skipped);
        EXPECT_FALSE(tracker_->achievements[0].completed);
    }
    EXPECT_TRUE(tracker_->TryCheckTriggers());
    EXPECT_TRUE(tracker_->achievements[0].completed);
    EXPECT_EQ(TakePosts().size(), 1u);
}

// Window-title and process-name tests against the double's desktop facts.
class TriggerMatch : public ::testing::Test {
protected:
    void SetUp() override { ResetFake(); }
    int Calls() {
        std::lock_guard<std::mutex> lock(Fake().mutex);
        return Fake().calls;
    }
    int TitleWalks() {
        std::lock_guard<std::mutex> lock(Fake().mutex);
        return Fake().title_walks;
    }
};

TEST_F(TriggerMatch, WindowTitleFragmentsAreSplitAtBarsAndKeptAsWritten) {
    SetTitles({u"Book1 - Excel", u"Untitled - Notepad"});
    EXPECT_TRUE(MatchWindowTitle(u"Notepad"));
    EXPECT_TRUE(MatchWindowTitle(u"Word|Excel"));
    EXPECT_TRUE(MatchWindowTitle(u"|Excel|"));
    EXPECT_TRUE(MatchWindowTitle(u"Excel"));
    EXPECT_TRUE(MatchWindowTitle(u"Word||Excel"));
    EXPECT_TRUE(MatchWindowTitle(u" Excel"));
    EXPECT_FALSE(MatchWindowTitle(u"Excel "));
    EXPECT_FALSE(MatchWindowTitle(u"Word| Word"));
    EXPECT_FALSE(MatchWindowTitle(u"Notepad-|Excel-"));

    // A value of bars alone leaves no fragment: the walk still runs and never matches.
    const int walks = TitleWalks();
    EXPECT_FALSE(MatchWindowTitle(u"|"));
    EXPECT_FALSE(MatchWindowTitle(u"||"));
    EXPECT_EQ(TitleWalks(), walks + 2);

    // An empty value never walks at all.
    const int calls = Calls();
    EXPECT_FALSE(MatchWindowTitle(u""));
    EXPECT_EQ(Calls(), calls);
}

TEST_F(TriggerMatch, WindowTitlesCompareCaseSensitivelyUnitByUnit) {
    SetTitles({u"untitled - notepad", u"获得成就 Achievement", u"Hi"});
    EXPECT_FALSE(MatchWindowTitle(u"Notepad"));
    EXPECT_TRUE(MatchWindowTitle(u"notepad"));
    EXPECT_TRUE(MatchWindowTitle(u"Achieve"));
    EXPECT_FALSE(MatchWindowTitle(u"ACHIEVE"));
    EXPECT_TRUE(MatchWindowTitle(u"成就"));
    // A fragment longer than a title is skipped for it, and the next fragment still counts.
    EXPECT_TRUE(MatchWindowTitle(u"a fragment longer than any title here, really|Hi"));
    EXPECT_FALSE(MatchWindowTitle(u"Hi there"));
}

TEST_F(TriggerMatch, OnlyTheFirst255UnitsOfATitleAreSearched) {
    const std::u16string pad254(254, u'x');
    // "END" ends exactly at unit 255; "ZZ" begins at unit 255 and is cut off.
    SetTitles({pad254.substr(0, 252) + u"END" + u"ZZ"});
    EXPECT_TRUE(MatchWindowTitle(u"END"));
    EXPECT_FALSE(MatchWindowTitle(u"ZZ"));
    EXPECT_FALSE(MatchWindowTitle(u"DZ"));

    SetTitles({pad254 + u"TARGET"});
    EXPECT_FALSE(MatchWindowTitle(u"TARGET"));
    EXPECT_TRUE(MatchWindowTitle(u"xT"));
}

TEST_F(TriggerMatch, ProcessNameIsTheWholeFileNameFoldingAsciiLettersOnly) {
    SetProcesses({u"System", u"NOTEPAD.EXE", u"calc.exe", u"ÄPFEL.exe", u"[x]@.exe"});
    EXPECT_TRUE(MatchProcessName(u"notepad.exe"));
    EXPECT_TRUE(MatchProcessName(u"Calc.EXE"));
    EXPECT_FALSE(MatchProcessName(u"notepad"));
    EXPECT_FALSE(MatchProcessName(u"otepad.exe"));
    EXPECT_FALSE(MatchProcessName(u"notepad.exe "));
    EXPECT_FALSE(MatchProcessName(u"D:\\Tools\\notepad.exe"));
    EXPECT_FALSE(MatchProcessName(u"notepad.exe|calc.exe"));
    // Non-ASCII letters must be identical; ASCII around them still folds.
    EXPECT_TRUE(MatchProcessName(u"Äpfel.EXE"));
    EXPECT_FALSE(MatchProcessName(u"äpfel.exe"));
    // Punctuation next to the letters in the code table never folds.
    EXPECT_TRUE(MatchProcessName(u"[X]@.exe"));
    EXPECT_FALSE(MatchProcessName(u"{x}`.exe"));

    const int calls = Calls();
    EXPECT_FALSE(MatchProcessName(u""));
    EXPECT_EQ(Calls(), calls);
}
