// The desktop seam against the real window system: process snapshots and window titles,
// as the trigger tests use them.

#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "tests/win32/test_window.h"
#include "tracker/tracker.h"

namespace {

std::u16string U16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

std::wstring OwnPath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

std::wstring FileNameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}
std::wstring DirectoryOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring AsciiCase(std::wstring text, bool upper) {
    for (wchar_t& c : text) {
        if (upper && c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        if (!upper && c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

bool CollectText(std::u16string_view text, void* context) {
    static_cast<std::vector<std::u16string>*>(context)->emplace_back(text);
    return false;
}

std::vector<std::u16string> ProcessNames() {
    std::vector<std::u16string> names;
    platform::VisitProcessNames(CollectText, &names);
    return names;
}

std::vector<std::u16string> VisibleTitles() {
    std::vector<std::u16string> titles;
    platform::VisitVisibleWindowTitles(CollectText, &titles);
    return titles;
}

bool Contains(const std::vector<std::u16string>& texts, const std::u16string& wanted) {
    for (const auto& text : texts) {
        if (text == wanted) return true;
    }
    return false;
}

class TestWindow {
  public:
    TestWindow(const std::u16string& title, bool visible) {
        window_ = CreateTestWindow(L"LaurelightDesktopTest", platform::Wide(title),
                                   RECT{10, 10, 210, 110});
        if (visible) ShowWindow(window_, SW_SHOWNOACTIVATE);
    }
    ~TestWindow() { DestroyWindow(window_); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }

  private:
    HWND window_ = nullptr;
};

std::u16string Unique(const char16_t* stem) {
    return stem +
           U16(std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount()));
}

class ChildProcess {
  public:
    explicit ChildProcess(const std::wstring& exe) {
        std::wstring command = L"\"" + exe + L"\" 20000";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        started_ = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE,
                                  CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info_) != 0;
    }
    ~ChildProcess() {
        if (!started_) return;
        Stop();
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return started_; }
    void Stop() {
        TerminateProcess(info_.hProcess, 0);
        WaitForSingleObject(info_.hProcess, 10000);
    }

  private:
    PROCESS_INFORMATION info_ = {};
    bool started_ = false;
};

TEST(ProcessSnapshot, FindsTheRunningTestByItsExeNameInAnyCase) {
    const std::wstring own = FileNameOf(OwnPath());
    const auto names = ProcessNames();
    ASSERT_TRUE(Contains(names, U16(own)))
        << "names are bare file names, as the snapshot gives them";
    for (const auto& name : names) EXPECT_EQ(name.find_first_of(u"\\/"), std::u16string::npos);

    EXPECT_TRUE(MatchProcessName(U16(own)));
    EXPECT_TRUE(MatchProcessName(U16(AsciiCase(own, true))));
    EXPECT_TRUE(MatchProcessName(U16(AsciiCase(own, false))));
    EXPECT_FALSE(MatchProcessName(U16(OwnPath())));
    EXPECT_FALSE(MatchProcessName(U16(own + L"|x.exe")));
    EXPECT_FALSE(MatchProcessName(U16(own.substr(0, own.size() - 4))));

    // The same walk with ids: this process stands under its own id.
    struct Own {
        std::u16string name;
        bool found = false;
    } search{U16(own)};
    platform::VisitProcesses(
        [](std::u16string_view name, std::uint32_t id, void* context) {
            Own& own = *static_cast<Own*>(context);
            own.found = own.found || (name == own.name && id == GetCurrentProcessId());
            return false;
        },
        &search);
    EXPECT_TRUE(search.found);

    // The picker's list: this process with its whole path.
    const std::vector<platform::RunningProcess> processes = platform::RunningProcesses();
    EXPECT_TRUE(std::any_of(processes.begin(), processes.end(), [&](const auto& process) {
        return process.id == GetCurrentProcessId() && process.name == U16(own) &&
               process.path == U16(OwnPath());
    }));
}

TEST(UserFacts, LocalTimeIsTodaysAndTheUserAtTheDesktopIsNotLocked) {
    SYSTEMTIME before = {};
    GetLocalTime(&before);
    const platform::LocalTime now = platform::LocalNow();
    SYSTEMTIME after = {};
    GetLocalTime(&after);
    const auto same = [&](const SYSTEMTIME& time) {
        return now.year == time.wYear && now.month == time.wMonth && now.day == time.wDay &&
               now.hour == time.wHour && now.minute == time.wMinute;
    };
    EXPECT_TRUE(same(before) || same(after));
    const platform::UserPresence presence = platform::QueryUserPresence();
    EXPECT_FALSE(presence.session_locked);
    EXPECT_LT(presence.idle_milliseconds, 1000ull * 60 * 60 * 24 * 365);
}

TEST(ProcessSnapshot, SeesAChildFromItsStartToItsEnd) {
    const std::wstring sleeper = DirectoryOf(OwnPath()) + L"\\driver\\laurelight-sleeper.exe";
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring name = L"LLKid" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    const std::wstring copy = std::wstring(temp) + name;
    ASSERT_TRUE(CopyFileW(sleeper.c_str(), copy.c_str(), FALSE))
        << "the sleeper is built beside the tests";

    EXPECT_FALSE(MatchProcessName(U16(name)));
    {
        ChildProcess child(copy);
        ASSERT_TRUE(child.started());
        EXPECT_TRUE(MatchProcessName(U16(AsciiCase(name, false))));
        EXPECT_TRUE(MatchProcessName(U16(AsciiCase(name, true))));
        child.Stop();
        EXPECT_FALSE(MatchProcessName(U16(name))) << "every call takes a fresh snapshot";
    }
    DeleteFileW(copy.c_str());
}

TEST(WindowTitles, ReportsVisibleWindowsOnlyAndNeverAnEmptyTitle) {
    const std::u16string shown_title = Unique(u"Laurelight shown ");
    const std::u16string hidden_title = Unique(u"Laurelight hidden ");
    const std::u16string chinese_title = Unique(u"获得成就 窗口 ");
    TestWindow shown(shown_title, true);
    TestWindow hidden(hidden_title, false);
    TestWindow chinese(chinese_title, true);
    TestWindow untitled(u"", true);
    TestWindow minimized(Unique(u"Laurelight minimized "), true);
    ShowWindow(minimized.get(), SW_SHOWMINNOACTIVE);
    const std::u16string minimized_title = [&] {
        wchar_t text[256] = {};
        GetWindowTextW(minimized.get(), text, 256);
        return U16(text);
    }();

    const auto titles = VisibleTitles();
    EXPECT_TRUE(Contains(titles, shown_title));
    EXPECT_TRUE(Contains(titles, chinese_title));
    EXPECT_TRUE(Contains(titles, minimized_title));
    EXPECT_FALSE(Contains(titles, hidden_title));
    for (const auto& title : titles) EXPECT_FALSE(title.empty());

    // The picker's list: the same windows, each with the process that made it.
    const std::vector<platform::VisibleWindow> windows = platform::VisibleWindowsWithProcesses();
    const auto with_title = [&](const std::u16string& title) {
        return std::find_if(windows.begin(), windows.end(),
                            [&](const auto& window) { return window.title == title; });
    };
    ASSERT_NE(with_title(chinese_title), windows.end());
    EXPECT_EQ(with_title(chinese_title)->process_id, GetCurrentProcessId());
    EXPECT_EQ(with_title(hidden_title), windows.end());

    EXPECT_TRUE(MatchWindowTitle(u"no such fragment|" + shown_title.substr(3, 12)));
    EXPECT_FALSE(MatchWindowTitle(hidden_title));
    EXPECT_FALSE(MatchWindowTitle(u"LAURELIGHT SHOWN"));
}

TEST(WindowTitles, CutsALongTitleTo255UnitsAndStopsWhenAsked) {
    std::u16string long_title = Unique(u"Laurelight long ");
    while (long_title.size() < 300) long_title += u'x';
    long_title += u"END";
    TestWindow window(long_title, true);
    TestWindow other(Unique(u"Laurelight other "), true);

    const auto titles = VisibleTitles();
    EXPECT_TRUE(Contains(titles, long_title.substr(0, 255)));
    for (const auto& title : titles) EXPECT_LE(title.size(), 255u);
    EXPECT_FALSE(MatchWindowTitle(u"xxxEND"));

    ASSERT_GE(titles.size(), 2u);
    int visits = 0;
    const bool stopped = platform::VisitVisibleWindowTitles(
        [](std::u16string_view, void* context) {
            ++*static_cast<int*>(context);
            return true;
        },
        &visits);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(visits, 1);
}

TEST(WindowPost, QueuesToALiveWindowAndFailsForADestroyedOne) {
    HWND gone = nullptr;
    {
        TestWindow window(u"Laurelight post", false);
        gone = window.get();
        ASSERT_TRUE(platform::PostToWindow(window.get(), WM_USER + 7, 3, -4));
        MSG msg = {};
        ASSERT_TRUE(PeekMessageW(&msg, window.get(), WM_USER + 7, WM_USER + 7, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 3u);
        EXPECT_EQ(msg.lParam, -4);
    }
    EXPECT_FALSE(platform::PostToWindow(gone, WM_USER + 7, 0, 0));
}

}  // namespace
