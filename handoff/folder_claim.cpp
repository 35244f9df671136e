#include "handoff/folder_claim.h"

namespace {

// How long each try waits for the claim before looking for the window again.
constexpr unsigned CLAIM_POLL_MS = 100;

}  // namespace

FolderWriter ClaimOrFindWriter(const std::u16string& folder, std::uint64_t wait_ms) {
    const std::uint64_t start = platform::SystemMilliseconds();
    for (unsigned poll = 0;; poll = CLAIM_POLL_MS) {
        FolderWriter writer{platform::TakeFolderClaim(folder, poll), {}};
        if (writer.claim) return writer;
        writer.window = platform::FindFolderWindow(folder);
        if (writer.window) return writer;
        if (platform::SystemMilliseconds() - start >= wait_ms) return writer;
    }
}
