#pragma once
// Desktop facts and window operations, passed straight through to the window system.
// Window handles are opaque (HWND on Windows).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/dpi_scale.h"

namespace platform {

// A top-level window and a list box as the seam hands them on (HWND on Windows); null for
// none. Two types, so that a list cannot go where a window is meant. They convert from the
// window system's handles; they own nothing.
template <class Kind>
struct HandleRef {
    HandleRef() = default;
    HandleRef(void* window_system_handle) : handle(window_system_handle) {}
    explicit operator bool() const { return handle != nullptr; }
    friend bool operator==(HandleRef, HandleRef) = default;
    void* handle = nullptr;
};
using WindowRef = HandleRef<struct WindowKind>;
using ListRef = HandleRef<struct ListKind>;

// The most of a window title, in UTF-16 code units, that the window walk hands out (and so
// the most a title trigger can see).
inline constexpr std::size_t MAX_TITLE_UNITS = 255;

// Return true to stop the walk.
using TextVisitor = bool (*)(std::u16string_view text, void* context);

// Executable file names (no directory) of all running processes with their ids, from one
// snapshot, fresh at every call: a process started since an earlier walk has an id that walk
// did not see. Returns true when the visitor stopped the walk; false when it ran out or failed.
using ProcessVisitor = bool (*)(std::u16string_view name, std::uint32_t id, void* context);
bool VisitProcesses(ProcessVisitor visit, void* context);

// The same walk for the names alone.
inline bool VisitProcessNames(TextVisitor visit, void* context) {
    struct NamesOnly {
        TextVisitor visit;
        void* context;
    } names{visit, context};
    return VisitProcesses(
        [](std::u16string_view name, std::uint32_t, void* param) {
            const NamesOnly& inner = *static_cast<const NamesOnly*>(param);
            return inner.visit(name, inner.context);
        },
        &names);
}

// Titles of the visible top-level windows (covered and minimized ones included), each cut
// to MAX_TITLE_UNITS; windows with an empty title are left out. Same result as above.
bool VisitVisibleWindowTitles(TextVisitor visit, void* context);

// For tools that show the desktop: the windows of VisitVisibleWindowTitles with their whole
// titles (not cut) and the desktop window manager's cloak flags (DWMWA_CLOAKED: 1 by the
// application, 2 by the shell, 4 inherited from the owner; 0 when on screen or when the
// system cannot tell). A cloaked window counts as visible but shows nothing.
using WindowVisitor = bool (*)(std::u16string_view title, unsigned cloak, void* context);
bool VisitVisibleWindows(WindowVisitor visit, void* context);

// For picking a trigger from what runs now: every running process with its executable file
// name, its id and its full path (QueryFullProcessImageNameW; empty when the process cannot be
// asked, e.g. another user's or the system's).
struct RunningProcess {
    std::u16string name;
    std::uint32_t id = 0;
    std::u16string path;
};
std::vector<RunningProcess> RunningProcesses();

// The same: the windows of VisitVisibleWindows, in their order (top first), with the id of the
// process that made each.
struct VisibleWindow {
    std::u16string title;
    std::uint32_t process_id = 0;
    unsigned cloak = 0;
};
std::vector<VisibleWindow> VisibleWindowsWithProcesses();

// False where the system has no top-level windows with titles to read.
bool HasWindowTitles();

// What the shell says about showing the user a notification now: SHQueryUserNotificationState's
// QUNS_* value, or Unknown when the system cannot say (no such function, a failed call).
enum class UserNotificationState {
    Unknown = 0,
    NotPresent = 1,            // the screen is locked or the screen saver runs
    Busy = 2,                  // a fullscreen program that is not exclusive (borderless)
    RunningD3dFullScreen = 3,  // a Direct3D program owns the screen exclusively
    PresentationMode = 4,
    AcceptsNotifications = 5,
    QuietTime = 6,  // the first hour after a new installation
    App = 7,        // a Windows Store app runs fullscreen
};
UserNotificationState QueryUserNotificationState();

// A rectangle of the desktop in pixels: left and top inside it, right and bottom just outside.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// One screen: its whole rectangle, its work area (the part the taskbar and docked toolbars
// leave free) and its DPI.
struct ScreenFacts {
    ScreenRect bounds;
    ScreenRect work_area;
    int dpi = BASE_DPI;
    friend bool operator==(const ScreenFacts&, const ScreenFacts&) = default;
};

// The primary screen: at the desktop's origin, SM_CXSCREEN x SM_CYSCREEN, with its monitor's
// work area and DPI.
ScreenFacts PrimaryScreen();

// The screen that holds the foreground window (the nearest one to it); nothing when no window
// is in the foreground or its screen cannot be read.
std::optional<ScreenFacts> ForegroundWindowScreen();

// How long ago the user last gave input in this session (GetLastInputInfo), and whether the
// session is locked (no input desktop to open). Where the system cannot tell: 0 and false.
struct UserPresence {
    std::uint64_t idle_milliseconds = 0;
    bool session_locked = false;
};
UserPresence QueryUserPresence();

// The local calendar date and time of day (GetLocalTime).
struct LocalTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
LocalTime LocalNow();

// Modal message box with an OK button and the error icon.
void ShowErrorMessage(WindowRef owner, const std::u16string& text, const std::u16string& caption);

void ListReset(ListRef list);
void ListAdd(ListRef list, const std::u16string& text);
// Puts `text` in place of the item at `index`, keeping the list's scroll position and
// selection.
void ListReplace(ListRef list, std::size_t index, const std::u16string& text);

// PostMessageW; true when the message was queued.
bool PostToWindow(WindowRef window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam);

void SleepMilliseconds(unsigned milliseconds);

// Waits up to the given time while serving the messages other threads send to this thread's
// windows (posted ones stay queued for the message loop).
void ServeSentMessagesFor(unsigned milliseconds);

// Joins the thread while still serving the messages other threads send to this thread's
// windows, so a thread that waits on this one can finish.
void JoinServingSentMessages(std::thread& thread);

}  // namespace platform
