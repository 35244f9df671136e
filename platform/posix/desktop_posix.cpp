// Native builds have no Windows desktop: processes are read from /proc, but there are no
// top-level windows with titles, no shell to ask about notifications and no list boxes, and
// a failed load is reported on stderr instead of in a message box.

#include "platform/desktop.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "text/utf8.h"

namespace platform {
namespace {

bool IsProcessFolder(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

// The file name of the process's executable; the kernel's short name (/proc/N/comm, at most
// 15 bytes) when the link cannot be read (another user's process, a kernel thread).
std::string ProcessName(const std::filesystem::path& folder) {
    std::error_code error;
    std::string name = std::filesystem::read_symlink(folder / "exe", error).filename().string();
    constexpr std::string_view DELETED = " (deleted)";
    if (!error && name.ends_with(DELETED)) name.resize(name.size() - DELETED.size());
    if (!error && !name.empty()) return name;
    std::ifstream comm(folder / "comm");
    std::getline(comm, name);
    return name;
}

}  // namespace

bool VisitProcesses(ProcessVisitor visit, void* context) {
    using Folders = std::filesystem::directory_iterator;
    std::error_code error;
    for (Folders entry("/proc", error); !error && entry != Folders(); entry.increment(error)) {
        if (!IsProcessFolder(entry->path())) continue;
        const std::string name = ProcessName(entry->path());
        const auto id = static_cast<std::uint32_t>(std::stoul(entry->path().filename().string()));
        if (!name.empty() && visit(Utf8ToUtf16(name), id, context)) return true;
    }
    return false;
}

std::vector<RunningProcess> RunningProcesses() {
    std::vector<RunningProcess> processes;
    VisitProcesses(
        [](std::u16string_view name, std::uint32_t id, void* context) {
            std::error_code unreadable;
            const std::filesystem::path path = std::filesystem::read_symlink(
                std::filesystem::path("/proc") / std::to_string(id) / "exe", unreadable);
            static_cast<std::vector<RunningProcess>*>(context)->push_back(
                {std::u16string(name), id,
                 unreadable ? std::u16string() : Utf8ToUtf16(path.string())});
            return false;
        },
        &processes);
    return processes;
}

std::vector<VisibleWindow> VisibleWindowsWithProcesses() {
    return {};
}

bool VisitVisibleWindowTitles(TextVisitor, void*) {
    return false;
}
bool VisitVisibleWindows(WindowVisitor, void*) {
    return false;
}
bool HasWindowTitles() {
    return false;
}

UserNotificationState QueryUserNotificationState() {
    return UserNotificationState::Unknown;
}

// No screens to show a toast on.
ScreenFacts PrimaryScreen() {
    return {};
}

std::optional<ScreenFacts> ForegroundWindowScreen() {
    return std::nullopt;
}

UserPresence QueryUserPresence() {
    return {};
}

LocalTime LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

void ShowErrorMessage(WindowRef, const std::u16string& text, const std::u16string&) {
    std::fprintf(stderr, "%s\n", Utf16ToUtf8(text).c_str());
}

void ListReset(ListRef) {}
void ListAdd(ListRef, const std::u16string&) {}
void ListReplace(ListRef, std::size_t, const std::u16string&) {}

bool PostToWindow(WindowRef, unsigned, std::uintptr_t, std::intptr_t) {
    return false;
}

void SleepMilliseconds(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void ServeSentMessagesFor(unsigned milliseconds) {
    SleepMilliseconds(milliseconds);
}

void JoinServingSentMessages(std::thread& thread) {
    thread.join();
}

}  // namespace platform
