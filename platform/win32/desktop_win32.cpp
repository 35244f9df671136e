// The desktop half of the seam on Windows: process snapshots, window titles, the shell's
// notification state, list boxes, message boxes and the thread join that keeps answering
// other threads' sent messages.
// Every function only passes facts through; the callers decide what they mean.

#include "platform/win32/win32.h"
#include <tlhelp32.h>

#if defined(__MINGW32__) && !defined(_MSC_VER)
#include <pthread.h>
#endif

#include "platform/desktop.h"
#include "platform/win32/system_library_win32.h"

namespace platform {
namespace {

struct TitleWalk {
    TextVisitor visit;
    void* context;
    bool stopped;
};

BOOL CALLBACK VisitOneWindow(HWND window, LPARAM param) {
    TitleWalk& walk = *reinterpret_cast<TitleWalk*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    wchar_t title[MAX_TITLE_UNITS + 1] = {};
    const int length = GetWindowTextW(window, title, static_cast<int>(MAX_TITLE_UNITS + 1));
    if (length <= 0) return TRUE;
    if (walk.visit(TextInBuffer(title, MAX_TITLE_UNITS), walk.context)) {
        walk.stopped = true;
        return FALSE;
    }
    return TRUE;
}

struct WindowWalk {
    WindowVisitor visit;
    void* context;
    bool stopped;
};

std::u16string WholeWindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const int copied = GetWindowTextW(window, Wide(text), length + 1);
    if (copied <= 0) return {};
    text.resize(text.find(u'\0'));  // the text ends at its NUL, whatever the count said
    return text;
}

// dwmapi.dll is loaded at run time from the system folder: older systems and Wine may lack
// the function, and then no window is known to be cloaked.
unsigned CloakFlags(HWND window) {
    using GetAttribute = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
    static const GetAttribute get_attribute =
        SystemFunction<GetAttribute>(L"dwmapi.dll", "DwmGetWindowAttribute");
    constexpr DWORD DWMWA_CLOAKED_ATTRIBUTE = 14;
    DWORD cloak = 0;
    if (get_attribute == nullptr ||
        FAILED(get_attribute(window, DWMWA_CLOAKED_ATTRIBUTE, &cloak, sizeof cloak))) {
        return 0;
    }
    return cloak;
}

BOOL CALLBACK VisitOneWholeWindow(HWND window, LPARAM param) {
    WindowWalk& walk = *reinterpret_cast<WindowWalk*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    const std::u16string title = WholeWindowText(window);
    if (title.empty()) return TRUE;
    if (walk.visit(title, CloakFlags(window), walk.context)) {
        walk.stopped = true;
        return FALSE;
    }
    return TRUE;
}

// The Win32 form of the executable's path; a path longer than MAX_PATH gets a larger buffer.
std::u16string ProcessPath(DWORD id) {
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process.Valid()) return {};
    std::u16string path(MAX_PATH, u'\0');
    for (int tries = 0; tries < 4; ++tries) {
        DWORD size = static_cast<DWORD>(path.size());
        if (QueryFullProcessImageNameW(process.Get(), 0, Wide(path), &size)) {
            path.resize(size);
            return path;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        path.resize(path.size() * 4);
    }
    return {};
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto& windows = *reinterpret_cast<std::vector<VisibleWindow>*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    std::u16string title = WholeWindowText(window);
    if (title.empty()) return TRUE;
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    windows.push_back({std::move(title), process_id, CloakFlags(window)});
    return TRUE;
}

HANDLE NativeThreadHandle(std::thread& thread) {
#if defined(_MSC_VER)
    return static_cast<HANDLE>(thread.native_handle());
#else
    return static_cast<HANDLE>(pthread_gethandle(thread.native_handle()));
#endif
}

// Dispatches only messages sent from other threads; posted ones (timer ticks, unlock
// notices, input) stay queued until the ordinary message loop runs again.
void ServeSentMessages() {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// The one wait that serves sent messages. It serves first: a message sent before the wait
// began would not wake it. WAIT_OBJECT_0 + count when a sent message woke it.
DWORD WaitServingSentMessages(DWORD count, const HANDLE* handles, DWORD milliseconds) {
    ServeSentMessages();
    return MsgWaitForMultipleObjects(count, handles, FALSE, milliseconds, QS_SENDMESSAGE);
}

}  // namespace

bool VisitProcesses(ProcessVisitor visit, void* context) {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Valid()) return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    if (!Process32FirstW(snapshot.Get(), &entry)) return false;
    do {
        const std::u16string_view name = TextInBuffer(entry.szExeFile, MAX_PATH);
        if (visit(name, entry.th32ProcessID, context)) return true;
    } while (Process32NextW(snapshot.Get(), &entry));
    return false;
}

std::vector<RunningProcess> RunningProcesses() {
    std::vector<RunningProcess> processes;
    VisitProcesses(
        [](std::u16string_view name, std::uint32_t id, void* context) {
            static_cast<std::vector<RunningProcess>*>(context)->push_back(
                {std::u16string(name), id, ProcessPath(id)});
            return false;
        },
        &processes);
    return processes;
}

std::vector<VisibleWindow> VisibleWindowsWithProcesses() {
    std::vector<VisibleWindow> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool VisitVisibleWindowTitles(TextVisitor visit, void* context) {
    TitleWalk walk = {visit, context, false};
    EnumWindows(VisitOneWindow, reinterpret_cast<LPARAM>(&walk));
    return walk.stopped;
}

bool VisitVisibleWindows(WindowVisitor visit, void* context) {
    WindowWalk walk = {visit, context, false};
    EnumWindows(VisitOneWholeWindow, reinterpret_cast<LPARAM>(&walk));
    return walk.stopped;
}

bool HasWindowTitles() {
    return true;
}

// shell32.dll from the system folder, as dwmapi.dll above. The enumeration is taken as the
// plain int the function writes.
UserNotificationState QueryUserNotificationState() {
    using Query = HRESULT(WINAPI*)(int*);
    static const Query query =
        SystemFunction<Query>(L"shell32.dll", "SHQueryUserNotificationState");
    int state = 0;
    if (query == nullptr || FAILED(query(&state))) return UserNotificationState::Unknown;
    return static_cast<UserNotificationState>(state);
}

// A locked session (or the secure desktop of a credentials prompt) gives this process no
// input desktop to open.
UserPresence QueryUserPresence() {
    UserPresence presence;
    LASTINPUTINFO input = {};
    input.cbSize = sizeof(input);
    if (GetLastInputInfo(&input)) presence.idle_milliseconds = GetTickCount() - input.dwTime;
    HDESK desktop = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    presence.session_locked = desktop == nullptr;
    if (desktop != nullptr) CloseDesktop(desktop);
    return presence;
}

LocalTime LocalNow() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

void ShowErrorMessage(WindowRef owner, const std::u16string& text, const std::u16string& caption) {
    MessageBoxW(static_cast<HWND>(owner.handle), Wide(text), Wide(caption), MB_OK | MB_ICONERROR);
}

void ListReset(ListRef list) {
    SendMessageW(static_cast<HWND>(list.handle), LB_RESETCONTENT, 0, 0);
}

void ListAdd(ListRef list, const std::u16string& text) {
    SendMessageW(static_cast<HWND>(list.handle), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Wide(text)));
}

// Drawing waits until the item is back and the list scrolled to where it was.
void ListReplace(ListRef list, std::size_t index, const std::u16string& text) {
    HWND box = static_cast<HWND>(list.handle);
    const LRESULT top = SendMessageW(box, LB_GETTOPINDEX, 0, 0);
    const LRESULT selected = SendMessageW(box, LB_GETCURSEL, 0, 0);
    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box, LB_DELETESTRING, index, 0);
    SendMessageW(box, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(Wide(text)));
    SendMessageW(box, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    if (selected != LB_ERR) SendMessageW(box, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
}

bool PostToWindow(WindowRef window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    return PostMessageW(static_cast<HWND>(window.handle), message, static_cast<WPARAM>(wparam),
                        static_cast<LPARAM>(lparam)) != 0;
}

void SleepMilliseconds(unsigned milliseconds) {
    Sleep(milliseconds);
}

void ServeSentMessagesFor(unsigned milliseconds) {
    WaitServingSentMessages(0, nullptr, milliseconds);
    ServeSentMessages();
}

void JoinServingSentMessages(std::thread& thread) {
    if (!thread.joinable()) return;
    HANDLE handle = NativeThreadHandle(thread);
    if (handle != nullptr) {
        // Until the thread ends, or the wait fails.
        while (WaitServingSentMessages(1, &handle, INFINITE) == WAIT_OBJECT_0 + 1) continue;
    }
    thread.join();
}

}  // namespace platform
