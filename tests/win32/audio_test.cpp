// The sound seam against WinMM: MCI replies come back whole, and failures come back as
// error codes rather than as anything the caller has to catch.

#include <gtest/gtest.h>

#include <string>

#include "platform/audio.h"

namespace {

TEST(MciCommands, ReplyIsCopiedAndFailuresGiveAnErrorCode) {
    std::u16string reply = u"stale";
    ASSERT_EQ(platform::SendMciCommand(u"sysinfo all quantity", &reply), 0u);
    ASSERT_FALSE(reply.empty());
    for (char16_t c : reply)
        EXPECT_TRUE(c >= u'0' && c <= u'9')
            << "a device count, got unit " << static_cast<unsigned>(c);

    reply = u"stale";
    EXPECT_NE(platform::SendMciCommand(u"status laurelight_no_such_alias mode", &reply), 0u);
    EXPECT_TRUE(reply.empty()) << "a failed command leaves no old text behind";

    EXPECT_NE(platform::SendMciCommand(u"open \"Z:\\no\\such\\file.mp3\" type mpegvideo alias x",
                                       nullptr),
              0u);
    EXPECT_NE(platform::SendMciCommand(u"this is not a command", nullptr), 0u);
}

}  // namespace
