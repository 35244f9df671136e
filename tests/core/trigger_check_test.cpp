// The check pass over the test double: what fires, what does not, and what one unlock leaves
// behind in the tracker, the progress file, the lists and the posted messages.

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "handoff/unlock_outcome.h"
#include "tests/core/check_fixture.h"
#include "tracker/achievement_lists.h"
#include "tracker/trigger_choices.h"

namespace {

void SetDesktop(std::vector<std::u16string> processes, std::vector<std::u16string> titles) {
    std::lock_guard<std::mutex> lock(Fake().mutex);
    Fake().process_names = std::move(processes);
    Fake().window_titles = std::move(titles);
}

// What each refill put into the completed list, in order (a refill starts with its reset).
std::vector<std::vector<std::u16string>> CompletedListPerRefill() {
    std::vector<std::vector<std::u16string>> refills;
    std::lock_guard<std::mutex> lock(Fake().mutex);
    for (const auto& [list, text] : Fake().list_calls) {
        if (list != COMPLETED_LIST) continue;
        if (text == u"<reset>") {
            refills.emplace_back();
        } else {
            refills.back().push_back(text);
        }
    }
    return refills;
}

int Calls() {
    std::lock_guard<std::mutex> lock(Fake().mutex);
    return Fake().calls;
}

}  // namespace

using TriggerCheck = CheckFixture;

TEST_F(TriggerCheck, MetTriggersCompleteInVectorOrderEachWithItsOwnRefillAndPost) {
    tracker_->achievements = {
        Record(u"calc", u"Counter", TriggerType::ProcessName, u"calc.exe"),
        Record(u"never", u"Never", TriggerType::ProcessName, u"absent.exe"),
        Record(u"pad", u"Writer", TriggerType::WindowTitle, u"Notepad"),
    };
    SetDesktop({u"init", u"CALC.EXE"}, {u"Untitled - Notepad"});

    tracker_->CheckTriggers();

    const auto& records = tracker_->achievements;
    EXPECT_TRUE(records[0].completed);
    EXPECT_FALSE(records[1].completed);
    EXPECT_TRUE(records[2].completed);
    EXPECT_EQ(tracker_->completed_map, (CompletedMap{{u"calc", true}, {u"pad", true}}));
    auto posts = TakePosts();
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[0]->title, u"Counter");
    EXPECT_EQ(posts[1]->title, u"Writer");
    EXPECT_TRUE(posts[0]->completed && posts[1]->completed);
    // The first refill already shows the first unlock, the second shows both.
    EXPECT_EQ(CompletedListPerRefill(),
              (std::vector<std::vector<std::u16string>>{
                  {ItemText(records[0])}, {ItemText(records[0]), ItemText(records[2])}}));
    EXPECT_EQ(ListContent(PENDING_LIST), std::vector<std::u16string>{ItemText(records[1])});
    EXPECT_EQ(ProgressBytes(), "calc=done\r\npad=done\r\n");

    // The triggers stay met: later passes test only the open record and unlock nothing.
    tracker_->CheckTriggers();
    EXPECT_TRUE(tracker_->TryCheckTriggers());
    EXPECT_TRUE(TakePosts().empty());
    EXPECT_EQ(CompletedListPerRefill().size(), 2u);
    std::lock_guard<std::mutex> lock(Fake().mutex);
    EXPECT_EQ(Fake().process_walks, 4);
    EXPECT_EQ(Fake().title_walks, 1);
}

TEST_F(TriggerCheck, SharedIdCompletesTheFirstOpenRecordThenTheOtherOnALaterPass) {
    tracker_->achievements = {
        Record(u"DUP", u"Other case", TriggerType::None, u""),
        Record(u"dup", u"First", TriggerType::ProcessName, u"never.exe"),
        Record(u"dup", u"Second", TriggerType::ProcessName, u"calc.exe"),
    };
    SetDesktop({u"calc.exe"}, {});

    tracker_->CheckTriggers();
    EXPECT_FALSE(tracker_->achievements[0].completed);
    EXPECT_TRUE(tracker_->achievements[1].completed);
    EXPECT_FALSE(tracker_->achievements[2].completed);
    auto first = TakePosts();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0]->title, u"First");

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
    SetDesktop({u"calc.exe"}, {u"Paint"});
    Fake().post_succeeds = false;

    tracker_->CheckTriggers();  // the sanitizer build's leak check sees a copy kept

    EXPECT_TRUE(TakePosts().empty());
    EXPECT_TRUE(tracker_->achievements[0].completed && tracker_->achievements[1].completed);
    EXPECT_EQ(tracker_->completed_map, (CompletedMap{{u"a", true}, {u"b", true}}));
    EXPECT_EQ(ProgressBytes(), "a=done\r\nb=done\r\n");
    EXPECT_EQ(ListContent(COMPLETED_LIST).size(), 2u);
    EXPECT_TRUE(ListContent(PENDING_LIST).empty());
}

TEST_F(TriggerCheck, PassWithNothingToTestTouchesNoPlatform) {
    Achievement done = Record(u"done", u"Done", TriggerType::ProcessName, u"calc.exe");
    done.completed = true;
    Achievement seen = Record(u"seen", u"Seen", TriggerType::WindowTitle, u"|");
    seen.completed = true;
    tracker_->achievements = {
        done,
        seen,
        Record(u"none", u"None", TriggerType::None, u"calc.exe"),
        Record(u"odd", u"Odd", static_cast<TriggerType>(7), u"calc.exe"),
        Record(u"empty", u"Empty", TriggerType::WindowTitle, u""),
        Record(u"empty2", u"Empty", TriggerType::ProcessName, u""),
    };
    SetDesktop({u"calc.exe"}, {u"| calc.exe"});

    tracker_->CheckTriggers();
    EXPECT_TRUE(tracker_->TryCheckTriggers());

    EXPECT_EQ(Calls(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
    EXPECT_TRUE(tracker_->completed_map.empty());
}

TEST_F(TriggerCheck, TimerPassIsSkippedWhileAnotherPassRuns) {
    tracker_->achievements = {Record(u"a", u"A", TriggerType::ProcessName, u"calc.exe")};
    SetDesktop({u"calc.exe"}, {});
    {
        std::lock_guard<std::mutex> running_pass(tracker_->pass_mutex);
        bool ran = true;
        std::thread timer([&] { ran = tracker_->TryCheckTriggers(); });
        timer.join();
        EXPECT_FALSE(ran);
        EXPECT_FALSE(tracker_->achievements[0].completed);
    }
    EXPECT_TRUE(tracker_->TryCheckTriggers());
    EXPECT_TRUE(tracker_->achievements[0].completed);
    EXPECT_EQ(TakePosts().size(), 1u);
}

TEST(TriggerMatch, WindowTitleFragmentsAreSplitAtBarsAndComparedAsWritten) {
    ResetFake();
    SetDesktop({}, {u"Book1 - Excel", u"untitled - notepad", u"获得成就 Achievement", u"Hi"});
    EXPECT_TRUE(MatchWindowTitle(u"Word|Excel"));
    EXPECT_TRUE(MatchWindowTitle(u"|Excel|"));
    EXPECT_TRUE(MatchWindowTitle(u"Word||Excel"));
    EXPECT_TRUE(MatchWindowTitle(u" Excel"));
    EXPECT_FALSE(MatchWindowTitle(u"Excel "));
    EXPECT_FALSE(MatchWindowTitle(u"Notepad"));
    EXPECT_FALSE(MatchWindowTitle(u"ACHIEVE"));
    EXPECT_TRUE(MatchWindowTitle(u"Achieve"));
    EXPECT_TRUE(MatchWindowTitle(u"成就"));
    // A fragment longer than a title is skipped for it; the next fragment still counts.
    EXPECT_TRUE(MatchWindowTitle(u"a fragment longer than any title here, really|Hi"));

    // Bars alone leave no fragment: the walk still runs and never matches.
    EXPECT_FALSE(MatchWindowTitle(u"|"));
    EXPECT_FALSE(MatchWindowTitle(u"||"));
    const int calls = Calls();
    EXPECT_FALSE(MatchWindowTitle(u""));  // never walks at all
    EXPECT_EQ(Calls(), calls);
    std::lock_guard<std::mutex> lock(Fake().mutex);
    EXPECT_EQ(Fake().title_walks, 12);
}

TEST(TriggerMatch, OnlyTheFirst255UnitsOfATitleAreSearched) {
    ResetFake();
    // "END" ends exactly at unit 255; "ZZ" begins at unit 255 and is cut off.
    SetDesktop({}, {std::u16string(252, u'x') + u"END" + u"ZZ"});
    EXPECT_TRUE(MatchWindowTitle(u"END"));
    EXPECT_FALSE(MatchWindowTitle(u"ZZ"));
    EXPECT_FALSE(MatchWindowTitle(u"DZ"));
}

TEST(TriggerMatch, ProcessNameIsTheWholeFileNameFoldingAsciiLettersOnly) {
    ResetFake();
    SetDesktop({u"System", u"NOTEPAD.EXE", u"calc.exe", u"ÄPFEL.exe", u"[x]@.exe"}, {});
    EXPECT_TRUE(MatchProcessName(u"notepad.exe"));
    EXPECT_TRUE(MatchProcessName(u"Calc.EXE"));
    EXPECT_FALSE(MatchProcessName(u"notepad"));
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

// A save that cannot finish (here: a directory where the temporary file must go) must not
// leave the unlock only in memory: the next pass, and at the latest the tracker's end, write it.
TEST_F(TriggerCheck, UnlockThatCouldNotBeSavedIsWrittenByTheNextPassOrAtTheEnd) {
    tracker_->achievements = {Record(u"a1", u"A", TriggerType::ProcessName, u"a.exe"),
                              Record(u"b2", u"B", TriggerType::ProcessName, u"b.exe")};
    const std::filesystem::path blocker = folder_ / TemporaryName("adv_save.txt");
    std::filesystem::create_directory(blocker);
    SetDesktop({u"a.exe"}, {});
    tracker_->CheckTriggers();
    EXPECT_TRUE(tracker_->achievements[0].completed);
    EXPECT_TRUE(tracker_->save_pending);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "adv_save.txt"));

    std::filesystem::remove(blocker);
    SetDesktop({}, {});
    tracker_->CheckTriggers();  // nothing new is met, yet the lagging file is caught up
    EXPECT_FALSE(tracker_->save_pending);
    EXPECT_EQ(ProgressBytes(), "a1=done\r\n");

    std::filesystem::create_directory(blocker);
    SetDesktop({u"b.exe"}, {});
    tracker_->CheckTriggers();
    EXPECT_EQ(ProgressBytes(), "a1=done\r\n");
    std::filesystem::remove(blocker);
    tracker_.reset();  // closing the program saves what is still pending
    EXPECT_EQ(ProgressBytes(), "a1=done\r\nb2=done\r\n");
    TakePosts();
}

// Under Controlled Folder Access every blocked write raises a notification, so a lagging
// save is retried at the next few passes only, then once per interval; an unlock always
// saves. The main window hears of a change in the problem once, not at every retry.
TEST_F(TriggerCheck, LaggingSaveBacksOffToOncePerIntervalButEveryUnlockStillSaves) {
    tracker_->achievements = {Record(u"a1", u"A", TriggerType::ProcessName, u"a.exe"),
                              Record(u"b2", u"B", TriggerType::ProcessName, u"b.exe"),
                              Record(u"c3", u"C", TriggerType::ProcessName, u"c.exe")};
    const std::filesystem::path blocker = folder_ / TemporaryName("adv_save.txt");
    std::filesystem::create_directory(blocker);
    SetDesktop({u"a.exe"}, {});
    tracker_->CheckTriggers();
    for (int pass = 0; pass < SAVE_RETRIES_AT_EVERY_PASS; ++pass) tracker_->CheckTriggers();
    EXPECT_EQ(tracker_->save_failures, 1 + SAVE_RETRIES_AT_EVERY_PASS);
    std::filesystem::remove(blocker);
    tracker_->CheckTriggers();  // backed off: the way is free, yet nothing is written
    EXPECT_FALSE(std::filesystem::exists(folder_ / "adv_save.txt"));
    EXPECT_EQ(tracker_->save_problem.load().reason, platform::FileError::IsDirectory);
    TakePosts();
    EXPECT_EQ(status_posts_, 1);

    tracker_->last_save_failure -= SAVE_RETRY_INTERVAL;
    tracker_->CheckTriggers();
    EXPECT_EQ(ProgressBytes(), "a1=done\r\n");
    EXPECT_FALSE(tracker_->save_pending);
    EXPECT_EQ(tracker_->save_problem.load(), SaveProblem{});
    TakePosts();
    EXPECT_EQ(status_posts_, 2);

    std::filesystem::create_directory(blocker);
    SetDesktop({u"b.exe"}, {});
    for (int pass = 0; pass <= SAVE_RETRIES_AT_EVERY_PASS; ++pass) tracker_->CheckTriggers();
    std::filesystem::remove(blocker);
    tracker_->CheckTriggers();
    EXPECT_EQ(ProgressBytes(), "a1=done\r\n");
    SetDesktop({u"c.exe"}, {});
    tracker_->CheckTriggers();
    EXPECT_EQ(ProgressBytes(), "a1=done\r\nb2=done\r\nc3=done\r\n");
    TakePosts();
    EXPECT_EQ(status_posts_, 4);
}

// Every unlock made outside a pass (a hand-off, laurelight-check --unlock) completes the same
// first open record as a pass would, and is told the same way.
TEST_F(TriggerCheck, UnlocksOutsideAPassCompleteTheFirstOpenRecordAndTellTheOutcome) {
    tracker_->achievements = {Record(u"a1", u"A", TriggerType::None, u""),
                              Record(u"a1", u"A again", TriggerType::None, u"")};
    const Achievement* marked = MarkFirstPending(*tracker_, u"a1");
    ASSERT_EQ(marked, &tracker_->achievements[0]);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "adv_save.txt"))
        << "marking alone saves nothing";

    const std::filesystem::path blocker = folder_ / TemporaryName("adv_save.txt");
    std::filesystem::create_directory(blocker);
    const UnlockReply unsaved = UnlockOutcome(*tracker_, CompleteFirstPending(*tracker_, u"a1"));
    EXPECT_TRUE(tracker_->achievements[1].completed);
    EXPECT_EQ(unsaved.answer, UnlockAnswer::NotSaved);
    EXPECT_EQ(unsaved.problem, (SaveProblem{platform::FileError::IsDirectory, true}));
    EXPECT_EQ(UnlockOutcome(*tracker_, CompleteFirstPending(*tracker_, u"a1")).answer,
              UnlockAnswer::NoSuchPending);

    std::filesystem::remove(blocker);
    tracker_->achievements.push_back(Record(u"b2", u"B", TriggerType::None, u""));
    EXPECT_EQ(UnlockOutcome(*tracker_, CompleteFirstPending(*tracker_, u"b2")).answer,
              UnlockAnswer::Done);
    EXPECT_EQ(ProgressBytes(), "a1=done\r\na1=done\r\nb2=done\r\n");
    TakePosts();
    tracker_->SaveStats();
    EXPECT_FALSE(std::filesystem::exists(folder_ / "adv_stats.txt"))
        << "a configuration without goals or secrets writes no other file";
}

TEST_F(TriggerCheck, GoalCountsShowInTheOpenListSurviveARestartAndUnlockAtTheGoal) {
    Achievement pad = Record(u"pad", u"Writer", TriggerType::ProcessName, u"notepad.exe");
    pad.trigger_goal = u"3 starts";
    Achievement secret = Record(u"s", u"Secret", TriggerType::WindowTitle, u"Paint");
    secret.trigger_goal = u"3 stars";  // refused: counts nothing, never unlocks
    secret.hidden = u"true";
    const auto start = [&] {
        tracker_->achievements = {pad, secret};
        tracker_->LoadProgress();
        tracker_->FillLists();
    };
    const auto stats = [&] { return scratch_.Read("adv_stats.txt"); };
    const std::u16string hidden = u"？？？ - 隐藏成就\n触发方式: ？？？";
    start();
    EXPECT_EQ(ListContent(PENDING_LIST),
              (std::vector<std::u16string>{u"Writer - d（0/3 次）\n触发方式: t", hidden}));

    SetDesktop({u"notepad.exe"}, {u"Paint"});
    Fake().process_ids = {41};
    tracker_->CheckTriggers();  // running at start: one
    tracker_->CheckTriggers();
    EXPECT_EQ(ListContent(PENDING_LIST)[0], u"Writer - d（1/3 次）\n触发方式: t");
    EXPECT_EQ(Fake().list_replacements, 1);
    EXPECT_EQ(stats(), "starts 1 pad\r\n");  // the first change is written at once
    SetDesktop({u"notepad.exe", u"NOTEPAD.EXE"}, {u"Paint"});
    Fake().process_ids = {41, 42};
    tracker_->CheckTriggers();
    EXPECT_EQ(ListContent(PENDING_LIST)[0], u"Writer - d（2/3 次）\n触发方式: t");
    EXPECT_EQ(stats(), "starts 1 pad\r\n");  // the next within a minute waits

    tracker_.reset();  // closing writes it
    EXPECT_EQ(stats(), "starts 2 pad\r\n");
    tracker_ = std::make_unique<AchievementTracker>(
        MAIN_WINDOW, Utf8ToUtf16(folder_.string() + "/Laurelight.exe"));
    tracker_->completed_list = COMPLETED_LIST;
    tracker_->pending_list = PENDING_LIST;
    start();
    EXPECT_EQ(ListContent(PENDING_LIST)[0], u"Writer - d（2/3 次）\n触发方式: t");
    SetDesktop({}, {u"Paint"});
    tracker_->CheckTriggers();
    EXPECT_TRUE(TakePosts().empty());
    SetDesktop({u"notepad.exe"}, {u"Paint"});
    Fake().process_ids = {43};
    tracker_->CheckTriggers();
    const auto posts = TakePosts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0]->title, u"Writer");
    EXPECT_EQ(ListContent(COMPLETED_LIST), std::vector<std::u16string>{ItemText(pad)});
    EXPECT_EQ(ListContent(PENDING_LIST), std::vector<std::u16string>{hidden});
    EXPECT_EQ(ProgressBytes(), "pad=done\r\n");
    EXPECT_EQ(stats(), "starts 3 pad\r\nunlocked 2024-05-01T12:00:00 pad\r\n");
}

// A new configuration read while running: completions and counts stay with their ids, also
// while an id is missing, new ids are open, order and texts follow the file, and nothing is
// written for it. An older reading never replaces a newer one.
TEST_F(TriggerCheck, ReloadKeepsCompletionsAndCountsByIdAndSavesNothing) {
    Achievement a = Record(u"a", u"A", TriggerType::ProcessName, u"a.exe");
    Achievement b = Record(u"b", u"B", TriggerType::ProcessName, u"b.exe");
    b.trigger_goal = u"3 starts";
    Achievement c = Record(u"c", u"C", TriggerType::ProcessName, u"c.exe");
    scratch_.Write("bin/adv.json", ConfigText({a, b, c}));
    scratch_.Write("adv_save.txt", "a=done\r\n");
    ASSERT_TRUE(tracker_->LoadConfig());
    tracker_->LoadProgress();
    tracker_->FillLists();
    SetDesktop({u"b.exe", u"c.exe"}, {});
    tracker_->CheckTriggers();  // b counts one start, c unlocks
    ASSERT_EQ(TakePosts().size(), 1u);
    tracker_->SaveStats();
    const std::string progress = ProgressBytes();
    const std::string stats = scratch_.Read("adv_stats.txt");
    ASSERT_EQ(progress, "a=done\r\nc=done\r\n");

    c.title = u"C renamed";
    Achievement d = Record(u"d", u"D", TriggerType::ProcessName, u"d.exe");
    scratch_.Write("bin/adv.json", ConfigText({b, d, c}));  // a removed, d new, c renamed
    ConfigReload older = ReadConfigAgain(*tracker_);
    ConfigReload newer = ReadConfigAgain(*tracker_);
    ASSERT_TRUE(ApplyConfigReload(*tracker_, newer));
    EXPECT_FALSE(ApplyConfigReload(*tracker_, older));
    EXPECT_EQ(ListContent(COMPLETED_LIST), std::vector<std::u16string>{ItemText(c)});
    EXPECT_EQ(ListContent(PENDING_LIST),
              (std::vector<std::u16string>{u"B - d（1/3 次）\n触发方式: t", ItemText(d)}));
    EXPECT_EQ(ListedId(*tracker_, false, 1), u"d");
    EXPECT_EQ(ListedId(*tracker_, true, 0), u"c");
    EXPECT_EQ(ListedId(*tracker_, true, 1), u"");
    EXPECT_EQ(tracker_->config_status, u"");
    EXPECT_EQ(ProgressBytes(), progress);
    EXPECT_EQ(scratch_.Read("adv_stats.txt"), stats);

    // The count goes on where it was (b's process seen before: no new start); c stays done.
    SetDesktop({u"b.exe", u"c.exe", u"d.exe"}, {});
    tracker_->CheckTriggers();
    auto posts = TakePosts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0]->id, u"d");
    EXPECT_EQ(tracker_->goal_stats[u"b"].starts, 1u);
    EXPECT_EQ(ProgressBytes(), "d=done\r\nc=done\r\na=done\r\n");

    scratch_.Write("bin/adv.json", ConfigText({a, b}));  // a comes back completed
    ConfigReload back = ReadConfigAgain(*tracker_);
    ASSERT_TRUE(ApplyConfigReload(*tracker_, back));
    EXPECT_EQ(ListContent(COMPLETED_LIST), std::vector<std::u16string>{ItemText(a)});
    tracker_->CheckTriggers();
    EXPECT_TRUE(TakePosts().empty());
    EXPECT_EQ(ProgressBytes(), "d=done\r\nc=done\r\na=done\r\n");
}

// The pass reads a change once it has stayed for a second; a file that does not load keeps the
// running set and says why in one line, a file with findings how many.
TEST_F(TriggerCheck, WatchedConfigIsReadOnceSettledAndAFailedLoadKeepsTheSet) {
    const auto start = std::chrono::steady_clock::now();
    const auto at = [start](int milliseconds) {
        return start + std::chrono::milliseconds(milliseconds);
    };
    const Achievement a = Record(u"a", u"A", TriggerType::ProcessName, u"a.exe");
    scratch_.Write("bin/adv.json", ConfigText({a}));
    ASSERT_TRUE(tracker_->LoadConfig());
    tracker_->FillLists();
    const auto reading_after = [&](const std::string& text) {
        scratch_.Write("bin/adv.json", text);
        EXPECT_TRUE(WatchConfig(*tracker_, at(0)));
        EXPECT_TRUE(WatchConfig(*tracker_, at(900)));
        TakePosts();
        EXPECT_TRUE(reloads_.empty()) << "read before it settled";
        EXPECT_FALSE(WatchConfig(*tracker_, at(1000)));
        EXPECT_FALSE(WatchConfig(*tracker_, at(2000)));
        TakePosts();
        EXPECT_EQ(reloads_.size(), 1u);
        std::unique_ptr<ConfigReload> reading = std::move(reloads_.at(0));
        reloads_.clear();
        EXPECT_TRUE(ApplyConfigReload(*tracker_, *reading));
        return tracker_->config_status;
    };
    EXPECT_EQ(reading_after("{\n}\n"),
              u"adv.json 未能加载（解析失败或没有找到成就配置），仍使用之前加载的成就；"
              u"laurelight-check 可说明原因");
    EXPECT_EQ(tracker_->achievements, std::vector<Achievement>{a});
    EXPECT_EQ(ListContent(PENDING_LIST), std::vector<std::u16string>{ItemText(a)});
    std::string with_finding = ConfigText({a});
    with_finding.insert(with_finding.find("\"title\""), "\"titel\": \"x\",\n            ");
    EXPECT_EQ(reading_after(with_finding), u"adv.json 有 1 处问题，laurelight-check 可说明");
    std::filesystem::remove(folder_ / "bin" / "adv.json");
    WatchConfig(*tracker_, at(0));
    WatchConfig(*tracker_, at(1000));
    TakePosts();
    ASSERT_EQ(reloads_.size(), 1u);
    ApplyConfigReload(*tracker_, *reloads_[0]);
    EXPECT_TRUE(tracker_->config_status.starts_with(u"adv.json 未能加载（找不到文件）"));
    EXPECT_EQ(tracker_->achievements, std::vector<Achievement>{a});
}

// The dialog's list of what runs: each program once with its topmost window, those with a
// window first; then the windows on screen, without this program's own; and the live line.
TEST_F(TriggerCheck, RunningChoicesAndTheMetNowLineUseTheDesktopAsThePassSeesIt) {
    SetDesktop({u"notepad.exe", u"NOTEPAD.EXE", u"svc.exe", u"idle.exe"},
               {u"Own", u"Cloaked", u"Untitled - Notepad", u"Calc"});
    Fake().process_ids = {1, 2, 3, 4};
    Fake().process_paths = {u"C:\\Windows\\notepad.exe"};
    Fake().window_processes = {{u"Own", platform::CurrentProcessId()},
                               {u"Cloaked", 1},
                               {u"Untitled - Notepad", 2},
                               {u"Calc", 3}};
    Fake().window_cloaks = {{u"Cloaked", 2}};
    const std::vector<TriggerChoice> choices = RunningChoices();
    const std::vector<TriggerChoice> expected = {
        {TriggerType::ProcessName, u"notepad.exe", u"Untitled - Notepad",
         u"C:\\Windows\\notepad.exe"},
        {TriggerType::ProcessName, u"svc.exe", u"Calc", u""},
        {TriggerType::ProcessName, u"idle.exe", u"", u""},
        {TriggerType::WindowTitle, u"Untitled - Notepad", u"NOTEPAD.EXE", u""},
        {TriggerType::WindowTitle, u"Calc", u"svc.exe", u""}};
    EXPECT_EQ(choices, expected);
    EXPECT_TRUE(ChoiceMatches(choices[0], u"NOTE"));
    EXPECT_TRUE(ChoiceMatches(choices[1], u"calc"));
    EXPECT_FALSE(ChoiceMatches(choices[2], u"note"));

    Achievement draft = Record(u"d", u"D", TriggerType::ProcessName, u"Notepad.exe");
    EXPECT_EQ(MetNowLine(draft), u"现在满足：notepad.exe 正在运行");
    draft.trigger_value = u"write.exe";
    EXPECT_EQ(MetNowLine(draft), u"现在不满足：没有运行中的程序叫这个名字");
    draft = Record(u"d", u"D", TriggerType::WindowTitle, u"Word|Notepad");
    EXPECT_EQ(MetNowLine(draft), u"现在满足：窗口「Untitled - Notepad」包含「Notepad」");
    draft.trigger_type = TriggerType::None;
    EXPECT_EQ(MetNowLine(draft), u"没有触发条件：它不会自动解锁");
}
