// One program per folder, and the unlocks laurelight-check hands to it.
//
// A second start waits a bounded time: the claim is taken while the first program is still
// before its window, and given up as soon as that window is destroyed, so only a program that
// hangs before its window keeps a second start waiting, and only for SECOND_START_WAIT_MS.
//
// A handed-over unlock runs on the UI thread, between two passes: it waits for a monitor
// pass to end (serving the list and title requests that pass sends to this thread meanwhile),
// but never beyond the sender's deadline, so a sender that gave up changes nothing.

#include "app/single_instance.h"

#include <mutex>

#include "app/app_globals.h"
#include "app/unlock_request.h"
#include "platform/files.h"
#include "platform/folder_program.h"
#include "tracker/data_paths.h"
#include "tracker/tracker.h"

namespace {

constexpr unsigned CLAIM_POLL_MS = 100;
constexpr ULONGLONG SECOND_START_WAIT_MS = 10000;
constexpr DWORD PASS_POLL_MS = 10;

void* g_folderClaim = nullptr;
bool g_folderReleased = false;

std::u16string ProgramFolder() {
    return ExecutableDirectory(platform::ModulePath());
}

// ShowWindowAsync: a hung program must not hang this start too. A box the program shows (the
// About box, an error) comes forward in its place.
void BringForward(HWND window) {
    if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
    HWND popup = GetLastActivePopup(window);
    SetForegroundWindow(popup != nullptr ? popup : window);
}

// Sent messages only; posted ones (timer ticks, unlock notices) wait for the message loop.
void ServeSentMessagesFor(DWORD milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_SENDMESSAGE);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

UnlockReply Unlock(AchievementTracker& tracker, const std::u16string& id) {
    if (UnlockFirstPending(tracker, id) == nullptr) return {UnlockAnswer::NoSuchPending, {}};
    if (tracker.save_pending) return {UnlockAnswer::NotSaved, tracker.save_problem.load()};
    return {UnlockAnswer::Done, {}};
}

// While this waits, a sent message may close the window and free the tracker; it is looked
// up again before every try.
UnlockReply UnlockWhenNoPassRuns(const UnlockRequest& request) {
    AchievementTracker* const tracker = g_tracker;
    for (;;) {
        if (g_folderReleased || tracker == nullptr || g_tracker != tracker) {
            return {UnlockAnswer::Late, {}};
        }
        std::unique_lock<std::mutex> pass(tracker->pass_mutex, std::try_to_lock);
        if (GetTickCount64() >= request.deadline_ms) return {UnlockAnswer::Late, {}};
        if (pass.owns_lock()) return Unlock(*tracker, request.id);
        ServeSentMessagesFor(PASS_POLL_MS);
    }
}

}  // namespace

bool ClaimFolderOrForward() {
    const std::u16string folder = ProgramFolder();
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        g_folderClaim = platform::TakeFolderClaim(folder, CLAIM_POLL_MS);
        if (g_folderClaim != nullptr) return true;
        HWND running = static_cast<HWND>(platform::FindFolderWindow(folder));
        if (running != nullptr) {
            BringForward(running);
            return false;
        }
        if (GetTickCount64() - start >= SECOND_START_WAIT_MS) return false;
    }
}

void MarkMainWindow(HWND window) {
    platform::MarkFolderWindow(window, ProgramFolder());
}

void ReleaseFolder(HWND window) {
    g_folderReleased = true;
    platform::UnmarkFolderWindow(window);
    platform::ReleaseFolderClaim(g_folderClaim);
    g_folderClaim = nullptr;
}

LRESULT OnCopyData(LPARAM data) {
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(data);
    if (copy == nullptr || copy->dwData != UNLOCK_REQUEST_TAG) return 0;
    UnlockReply reply{UnlockAnswer::Refused, {}};
    if (copy->lpData != nullptr || copy->cbData == 0) {
        const std::string_view bytes(static_cast<const char*>(copy->lpData), copy->cbData);
        const UnlockRequest request = ReadUnlockRequest(bytes, GetTickCount64());
        reply = request.refusal == UnlockAnswer::None ? UnlockWhenNoPassRuns(request)
                                                      : UnlockReply{request.refusal, {}};
    }
    return static_cast<LRESULT>(EncodeUnlockReply(reply));
}
