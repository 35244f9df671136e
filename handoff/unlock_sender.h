#pragma once
// The sending side of the hand-off: laurelight-check asks the program that runs for the
// folder to complete an achievement.

#include <string_view>

#include "handoff/unlock_request.h"
#include "platform/desktop.h"

// Hands the unlock to the program's main window and waits for its reply: an answer of None
// when none came in time or the id cannot travel.
UnlockReply SendUnlock(platform::WindowRef window, std::u16string_view id);
