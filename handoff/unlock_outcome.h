#pragma once
// What an unlock made in this process came to, in the hand-off's words: the program answers it
// to the sender, and laurelight-check reports it the same way whoever made the unlock.

#include "handoff/unlock_request.h"
#include "tracker/tracker.h"

// `completed` is what CompleteFirstPending or UnlockFirstPending returned.
UnlockReply UnlockOutcome(const AchievementTracker& tracker, const Achievement* completed);
