// Laurelight runs only on Windows, so on other systems no program ever holds a folder: every
// claim is granted and no window is found.

#include "platform/folder_program.h"

#include <time.h>

namespace platform {
namespace {

int g_claim = 0;  // the one token every claim hands out

}  // namespace

FolderClaim TakeFolderClaim(const std::u16string&, unsigned) {
    return FolderClaim(&g_claim);
}

void FolderClaim::Release() {
    held_ = nullptr;
}

void MarkFolderWindow(WindowRef, const std::u16string&) {}

void UnmarkFolderWindow(WindowRef) {}

WindowRef FindFolderWindow(const std::u16string&) {
    return {};
}

bool SendDataToWindow(WindowRef, std::uintptr_t, std::string_view, unsigned, std::intptr_t*) {
    return false;
}

std::uint64_t SystemMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace platform
