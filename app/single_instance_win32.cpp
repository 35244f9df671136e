// One program per folder, and the unlocks laurelight-check hands to it.
//
// A second start waits a bounded time: the claim is taken while the first program is still
// before its window, and given up as soon as that window is destroyed, so only a program that
// hangs before its window keeps a second start waiting, and only for SECOND_START_WAIT_MS.
//
// A handed-over unlock runs on the UI thread, between two passes: it waits for a monitor
// pass to end (serving the list and title requests that pass sends to this thread meanwhile),
// but never beyond the sender's deadline, so a sender that gave up changes nothing. Its save
// then waits for another writer only while the sender still waits for the answer.

#include "app/single_instance.h"

#include <mutex>

#include "app/app_globals.h"
#include "handoff/folder_claim.h"
#include "handoff/unlock_outcome.h"
#include "handoff/unlock_request.h"
#include "model/data_paths.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/folder_program.h"
#include "tracker/tracker.h"

namespace {

constexpr ULONGLONG SECOND_START_WAIT_MS = 10000;
constexpr DWORD PASS_POLL_MS = 10;

platform::FolderClaim g_folderClaim;
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

// While this waits, a sent message may close the window and free the tracker; it is looked
// up again before every try.
UnlockReply UnlockWhenNoPassRuns(const UnlockRequest& request) {
    AchievementTracker* const tracker = g_tracker;
    for (;;) {
        if (g_folderReleased || tracker == nullptr || g_tracker != tracker) {
            return {UnlockAnswer::Late, {}};
        }
        std::unique_lock<std::mutex> pass(tracker->pass_mutex, std::try_to_lock);
        const ULONGLONG now = GetTickCount64();
        if (now >= request.deadline_ms) return {UnlockAnswer::Late, {}};
        if (pass.owns_lock()) return UnlockHandedOver(*tracker, request, now);
        platform::ServeSentMessagesFor(PASS_POLL_MS);
    }
}

}  // namespace

bool ClaimFolderOrForward() {
    FolderWriter writer = ClaimOrFindWriter(ProgramFolder(), SECOND_START_WAIT_MS);
    if (writer.window) BringForward(static_cast<HWND>(writer.window.handle));
    g_folderClaim = std::move(writer.claim);
    return static_cast<bool>(g_folderClaim);
}

void MarkMainWindow(HWND window) {
    platform::MarkFolderWindow(window, ProgramFolder());
}

void ReleaseFolder(HWND window) {
    g_folderReleased = true;
    platform::UnmarkFolderWindow(window);
    g_folderClaim.Release();
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
