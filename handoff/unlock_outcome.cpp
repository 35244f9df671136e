#include "handoff/unlock_outcome.h"

UnlockReply UnlockOutcome(const AchievementTracker& tracker, const Achievement* completed) {
    if (completed == nullptr) return {UnlockAnswer::NoSuchPending, {}};
    if (tracker.save_pending) return {UnlockAnswer::NotSaved, tracker.save_problem.load()};
    return {UnlockAnswer::Done, {}};
}

UnlockReply UnlockHandedOver(AchievementTracker& tracker, const UnlockRequest& request,
                             std::uint64_t) {
    return UnlockOutcome(tracker, UnlockFirstPending(tracker, request.id));
}
