// The unlock request laurelight-check hands to the running program: the program reads it as
// untrusted bytes from any process of the session.

#include <gtest/gtest.h>

#include "handoff/unlock_request.h"

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
