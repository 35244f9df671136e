#include "handoff/unlock_outcome.h"

UnlockReply UnlockOutcome(const AchievementTracker& tracker, const Achievement* completed) {
    if (completed == nullptr) return {UnlockAnswer::NoSuchPending, {}};
    if (tracker.save_pending) return {UnlockAnswer::NotSaved, tracker.save_problem.load()};
    return {UnlockAnswer::Done, {}};
}
