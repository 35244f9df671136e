#include "handoff/unlock_outcome.h"

#include <algorithm>

UnlockReply UnlockOutcome(const AchievementTracker& tracker, const Achievement* completed) {
    if (completed == nullptr) return {UnlockAnswer::NoSuchPending, {}};
    if (tracker.save_pending) return {UnlockAnswer::NotSaved, tracker.save_problem.load()};
    return {UnlockAnswer::Done, {}};
}

namespace {

// What the save, the list refill and the answer may take once the lock is had.
constexpr std::uint64_t ANSWER_MARGIN_MS = 500;
static_assert(ANSWER_MARGIN_MS < ANSWER_WAIT_MS - REQUEST_LIFE_MS);

unsigned LockWaitLeft(const UnlockRequest& request, std::uint64_t now_ms) {
    const std::uint64_t answer_by =
        request.deadline_ms + (ANSWER_WAIT_MS - REQUEST_LIFE_MS) - ANSWER_MARGIN_MS;
    if (now_ms >= answer_by) return 0;
    return static_cast<unsigned>(
        std::min<std::uint64_t>(answer_by - now_ms, platform::STATE_LOCK_WAIT_MS));
}

}  // namespace

UnlockReply UnlockHandedOver(AchievementTracker& tracker, const UnlockRequest& request,
                             std::uint64_t now_ms) {
    return UnlockOutcome(
        tracker, UnlockFirstPendingForSender(tracker, request.id, LockWaitLeft(request, now_ms)));
}
