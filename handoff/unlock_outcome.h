#pragma once
// What an unlock made in this process came to, in the hand-off's words: the program answers it
// to the sender, and laurelight-check reports it the same way whoever made the unlock.

#include <cstdint>

#include "handoff/unlock_request.h"
#include "tracker/tracker.h"

// `completed` is what CompleteFirstPending or UnlockFirstPending returned.
UnlockReply UnlockOutcome(const AchievementTracker& tracker, const Achievement* completed);

// The unlock of a request handed over by laurelight-check, started at now_ms (the system's
// millisecond clock) while no pass runs: the caller holds pass_mutex. The sender waits for the
// answer until ANSWER_WAIT_MS - REQUEST_LIFE_MS after the request's deadline; the save waits
// for another writer only as long as leaves time to answer before then, and the unlock time
// follows with the next pass, so the answer is never too late to be read, and is the truth.
UnlockReply UnlockHandedOver(AchievementTracker& tracker, const UnlockRequest& request,
                             std::uint64_t now_ms);
