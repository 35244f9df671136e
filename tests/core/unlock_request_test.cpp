// The unlock request laurelight-check hands to the running program: the program reads it as
// untrusted bytes from any process of the session.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "handoff/unlock_outcome.h"
#include "handoff/unlock_request.h"
#include "platform/folder_state_lock.h"
#include "tests/files/progress_test_folder.h"

namespace {

constexpr std::uint64_t NOW = 1'000'000;

UnlockAnswer RefusalOf(std::string_view bytes) {
    return ReadUnlockRequest(bytes, NOW).refusal;
}

}  // namespace

TEST(UnlockRequest, AWellFormedIdTravelsWhole) {
    const std::u16string id = u"by_hand \u6210\u5c31 \U0001F3C6";  // a surrogate pair too
    const UnlockRequest request = ReadUnlockRequest(EncodeUnlockRequest(id, NOW + 4000), NOW);
    EXPECT_EQ(request.refusal, UnlockAnswer::None);
    EXPECT_EQ(request.id, id);
    EXPECT_EQ(request.deadline_ms, NOW + 4000);
    const std::u16string longest(MAX_UNLOCK_ID_UNITS, u'x');
    EXPECT_EQ(ReadUnlockRequest(EncodeUnlockRequest(longest, NOW + 1), NOW).id, longest);
}

TEST(UnlockRequest, MalformedOrStaleRequestsAreRefused) {
    const std::string good = EncodeUnlockRequest(u"ab", NOW + 4000);
    EXPECT_EQ(RefusalOf({}), UnlockAnswer::Refused);
    EXPECT_EQ(RefusalOf(good.substr(0, 8)), UnlockAnswer::Refused) << "no id";
    EXPECT_EQ(RefusalOf(good.substr(0, good.size() - 1)), UnlockAnswer::Refused) << "odd size";
    std::string too_long = good.substr(0, 8) + std::string(2 * (MAX_UNLOCK_ID_UNITS + 1), 'x');
    EXPECT_EQ(RefusalOf(too_long), UnlockAnswer::Refused);
    // Unpaired surrogates: a high one at the end, a low one alone, a high one before a letter.
    for (const std::u16string& id : {std::u16string(u"a\xD83C"),
                                     std::u16string(u"\xDFC6"
                                                    u"a"),
                                     std::u16string(u"\xD83C"
                                                    u"a")}) {
        EXPECT_EQ(RefusalOf(EncodeUnlockRequest(id, NOW + 4000)), UnlockAnswer::Refused);
    }
    // A sender that has given up changes nothing; one cannot pin a request for minutes.
    EXPECT_EQ(RefusalOf(EncodeUnlockRequest(u"ab", NOW)), UnlockAnswer::Late);
    EXPECT_EQ(RefusalOf(EncodeUnlockRequest(u"ab", NOW + MAX_UNLOCK_WAIT_MS + 1)),
              UnlockAnswer::Refused);
    EXPECT_EQ(EncodeUnlockRequest(u"", NOW + 1), "");
    EXPECT_EQ(EncodeUnlockRequest(std::u16string(MAX_UNLOCK_ID_UNITS + 1, u'x'), NOW + 1), "");
}

TEST(UnlockRequest, RepliesCarryTheSaveProblemAndUnknownValuesMeanNoAnswer) {
    // Every reason a save can fail with comes back as it was sent, at either step.
    for (auto reason = static_cast<unsigned>(platform::FileError::None);
         reason <= static_cast<unsigned>(platform::LAST_FILE_ERROR); ++reason) {
        for (const bool at_temporary : {false, true}) {
            const UnlockReply not_saved{UnlockAnswer::NotSaved,
                                        {static_cast<platform::FileError>(reason), at_temporary}};
            const UnlockReply back = DecodeUnlockReply(EncodeUnlockReply(not_saved));
            EXPECT_EQ(back.answer, UnlockAnswer::NotSaved) << reason;
            EXPECT_EQ(back.problem, not_saved.problem) << reason;
        }
    }
    EXPECT_EQ(DecodeUnlockReply(EncodeUnlockReply({UnlockAnswer::Done, {}})).answer,
              UnlockAnswer::Done);
    for (const std::intptr_t unknown :
         {std::intptr_t{0}, std::intptr_t{6}, std::intptr_t{-1}, std::intptr_t{0x7F01},
          std::intptr_t{0x0703}, std::intptr_t{1} << 20}) {
        EXPECT_EQ(DecodeUnlockReply(unknown).answer, UnlockAnswer::None) << unknown;
    }
}

// A request that waited for a pass until just before its deadline, while another writer holds
// the folder's state lock: the answer still reaches the sender, whose wait ends
// ANSWER_WAIT_MS - REQUEST_LIFE_MS after the deadline, and tells the truth (completed, not
// saved). The progress and the unlock time follow with the next pass once the lock is free.
TEST(UnlockRequest, AHandedOverUnlockAnswersWithinTheSendersWaitWhileAnotherWriterHoldsTheLock) {
    ProgressTestFolder folder;
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Achievement goal;
    goal.id = u"a";
    goal.trigger_type = TriggerType::ProcessName;
    goal.trigger_value = u"absent.exe";
    goal.trigger_goal = u"3 starts";
    tracker.achievements = {goal};
    tracker.LoadProgress();
    const UnlockRequest request = ReadUnlockRequest(EncodeUnlockRequest(u"a", NOW + 1), NOW);
    UnlockReply reply;
    std::chrono::steady_clock::duration took{};
    {
        const platform::FolderStateLock other(folder.path().u16string(), 0);
        ASSERT_TRUE(other.Held());
        std::thread([&] {
            const auto start = std::chrono::steady_clock::now();
            reply = UnlockHandedOver(tracker, request, NOW);
            took = std::chrono::steady_clock::now() - start;
        }).join();
    }
    EXPECT_LT(took, std::chrono::milliseconds(ANSWER_WAIT_MS - REQUEST_LIFE_MS));
    EXPECT_EQ(reply.answer, UnlockAnswer::NotSaved);
    EXPECT_TRUE(tracker.achievements[0].completed);
    tracker.CheckTriggers();
    EXPECT_EQ(folder.Read("adv_save.txt"), "a=done\r\n");
    EXPECT_EQ(folder.Read("adv_stats.txt"), "unlocked 2024-05-01T12:00:00 a\r\n");
}
