// Finding top-level windows and reporting their facts.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/folder_state_lock.h"
#include "tests/driver/driver.h"
#include "text/utf8.h"

namespace driver {
namespace {

using Clock = std::chrono::steady_clock;

bool IsHandleText(const std::string& target) {
    if (target.empty()) return false;
    if (target.rfind("0x", 0) == 0) return target.size() > 2;
    for (char c : target) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

Json RectJson(const RECT& rect) {
    return Json::array({rect.left, rect.top, rect.right, rect.bottom});
}

long long ElapsedMs(Clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(const std::wstring& text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

const std::string& Arg(const Args& args, std::size_t index) {
    if (index >= args.size()) throw Failure("missing argument " + std::to_string(index));
    return args[index];
}

long long IntArg(const Args& args, std::size_t index, long long fallback) {
    if (index >= args.size()) return fallback;
    return std::strtoll(args[index].c_str(), nullptr, 0);
}

HWND FindTopLevel(const std::string& target) {
    if (IsHandleText(target)) {
        HWND window = reinterpret_cast<HWND>(
            static_cast<std::uintptr_t>(std::strtoull(target.c_str(), nullptr, 0)));
        return IsWindow(window) ? window : nullptr;
    }
    return FindWindowW(Wide(target).c_str(), nullptr);
}

HWND RequireWindow(const std::string& target) {
    HWND window = FindTopLevel(target);
    if (window == nullptr) throw Failure("no window " + target);
    return window;
}

std::string HandleText(HWND window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    return text;
}

LRESULT SendOrFail(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, 5000, &result)) {
        if (!IsWindow(window)) return 0;  // gone meanwhile, as a closing toast may be
        throw Failure("no answer to message " + std::to_string(message) + " from " +
                      HandleText(window));
    }
    return static_cast<LRESULT>(result);
}

std::wstring WindowText(HWND window) {
    // WM_GETTEXT is marshalled across processes; the length first, so nothing is cut.
    const LRESULT length = SendOrFail(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendOrFail(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

Json WindowFacts(HWND window) {
    RECT rect = {};
    RECT client = {};
    GetWindowRect(window, &rect);
    GetClientRect(window, &client);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR ex_style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    HWND owner = GetWindow(window, GW_OWNER);
    Json facts = {{"ok", true},
                  {"hwnd", HandleText(window)},
                  {"class", Narrow(ClassName(window))},
                  {"text", Narrow(WindowText(window))},
                  {"rect", RectJson(rect)},
                  {"client", Json::array({client.right - client.left, client.bottom - client.top})},
                  {"style", static_cast<unsigned long long>(style) & 0xFFFFFFFFull},
                  {"exstyle", static_cast<unsigned long long>(ex_style) & 0xFFFFFFFFull},
                  {"visible", IsWindowVisible(window) != 0},
                  {"iconic", IsIconic(window) != 0},
                  {"topmost", (ex_style & WS_EX_TOPMOST) != 0},
                  {"pid", process},
                  {"id", GetDlgCtrlID(window)}};
    if (owner != nullptr) {
        facts["owner"] = HandleText(owner);
        facts["owner_class"] = Narrow(ClassName(owner));
    }
    return facts;
}

Json CmdFind(const Args& args) {
    HWND window = FindTopLevel(Arg(args, 0));
    if (window == nullptr) return Json{{"ok", true}, {"found", false}};
    Json facts = WindowFacts(window);
    facts["found"] = true;
    return facts;
}

// wait <class> [timeout_ms]: a visible top-level window of that class; a window is
// shown only after its creation work is done.
Json CmdWait(const Args& args) {
    const auto start = Clock::now();
    const long long timeout = IntArg(args, 1, 10000);
    for (;;) {
        HWND window = FindTopLevel(Arg(args, 0));
        if (window != nullptr && IsWindowVisible(window)) {
            Json facts = WindowFacts(window);
            facts["waited_ms"] = ElapsedMs(start);
            return facts;
        }
        if (ElapsedMs(start) > timeout) throw Failure("timed out waiting for " + args[0]);
        Sleep(10);
    }
}

Json CmdWaitGone(const Args& args) {
    const auto start = Clock::now();
    const long long timeout = IntArg(args, 1, 10000);
    while (FindTopLevel(Arg(args, 0)) != nullptr) {
        if (ElapsedMs(start) > timeout) throw Failure("still there: " + args[0]);
        Sleep(10);
    }
    return Json{{"ok", true}, {"waited_ms", ElapsedMs(start)}};
}

Json CmdInfo(const Args& args) {
    return WindowFacts(RequireWindow(Arg(args, 0)));
}

Json CmdChildren(const Args& args) {
    HWND parent = RequireWindow(Arg(args, 0));
    Json children = Json::array();
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        Json facts = WindowFacts(child);
        RECT rect = {};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        facts["in_parent"] = RectJson(rect);
        children.push_back(facts);
    }
    return Json{{"ok", true}, {"children", children}};
}

// windows [class]: every top-level window, or those of one class, in z order.
Json CmdWindows(const Args& args) {
    std::vector<HWND> all;
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&all));
    Json windows = Json::array();
    for (HWND window : all) {
        if (args.empty() || Narrow(ClassName(window)) == args[0])
            windows.push_back(WindowFacts(window));
    }
    return Json{{"ok", true}, {"windows", windows}};
}

// work_area: the primary screen's work area (what the taskbar leaves free) and its size.
Json CmdWorkArea(const Args&) {
    RECT work = {};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) throw Failure("no work area");
    return Json{{"ok", true},
                {"work_area", {work.left, work.top, work.right, work.bottom}},
                {"screen", {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}}};
}

Json CmdForeground(const Args&) {
    HWND window = GetForegroundWindow();
    if (window == nullptr) return Json{{"ok", true}, {"found", false}};
    Json facts = WindowFacts(window);
    facts["found"] = true;
    return facts;
}

// sample_x <class> <duration_ms> [interval_ms]: the window's left edge over time, from the
// moment the command starts; a sample without the window has "x": null.
Json CmdSampleX(const Args& args) {
    const auto start = Clock::now();
    const long long duration = IntArg(args, 1, 1000);
    const long long interval = IntArg(args, 2, 15);
    Json samples = Json::array();
    while (ElapsedMs(start) <= duration) {
        HWND window = FindTopLevel(Arg(args, 0));
        RECT rect = {};
        const long long at = ElapsedMs(start);
        if (window != nullptr && GetWindowRect(window, &rect)) {
            samples.push_back(Json{{"t", at}, {"x", rect.left}, {"y", rect.top}});
        } else {
            samples.push_back(Json{{"t", at}, {"x", nullptr}, {"y", nullptr}});
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(interval));
    }
    return Json{{"ok", true}, {"samples", samples}};
}

// restore <window>: back from minimized or maximized, as a click on its taskbar button does.
Json CmdRestore(const Args& args) {
    if (!ShowWindowAsync(RequireWindow(Arg(args, 0)), SW_RESTORE)) {
        throw Failure("ShowWindowAsync failed");
    }
    return Json{{"ok", true}};
}

// set_rect <window> x y width height, as a user dragging the frame would.
Json CmdSetRect(const Args& args) {
    HWND window = RequireWindow(Arg(args, 0));
    const BOOL moved =
        SetWindowPos(window, nullptr, static_cast<int>(IntArg(args, 1, 0)),
                     static_cast<int>(IntArg(args, 2, 0)), static_cast<int>(IntArg(args, 3, 0)),
                     static_cast<int>(IntArg(args, 4, 0)), SWP_NOZORDER | SWP_NOACTIVATE);
    if (!moved) throw Failure("SetWindowPos failed");
    return WindowFacts(window);
}

Json CmdSleep(const Args& args) {
    Sleep(static_cast<DWORD>(IntArg(args, 0, 0)));
    return Json{{"ok", true}};
}

Json CmdHoldFile(const Args& args) {
    static HANDLE held = INVALID_HANDLE_VALUE;  // lives as long as the driver, or until let go
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    held = INVALID_HANDLE_VALUE;
    if (args.empty() || args[0].empty()) return Json{{"ok", true}};
    held = CreateFileW(Wide(args[0]).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) throw Failure("cannot open " + args[0]);
    return Json{{"ok", true}};
}

Json CmdHoldStateLock(const Args& args) {
    static void* held = nullptr;  // on the thread that serves the commands, which took it
    platform::UnlockFolderState(held);
    held = nullptr;
    if (args.empty() || args[0].empty()) return Json{{"ok", true}};
    held = platform::LockFolderState(Utf8ToUtf16(args[0]), 0);
    if (held == nullptr) throw Failure("another writer holds the state lock of " + args[0]);
    return Json{{"ok", true}};
}

}  // namespace driver
