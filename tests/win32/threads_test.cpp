// Calls that cross threads: list boxes filled from a worker while the owner pumps, the
// join that keeps answering sent messages, and the error message box.

#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "platform/desktop.h"
#include "tests/win32/test_window.h"

namespace {

constexpr UINT SENT_PROBE = WM_USER + 5;
constexpr UINT POSTED_PROBE = WM_USER + 6;

std::atomic<int> g_sent_seen{0};
std::atomic<int> g_posted_seen{0};

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == SENT_PROBE) {
        ++g_sent_seen;
        return 42;
    }
    if (message == POSTED_PROBE) {
        ++g_posted_seen;
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

class ProbeWindow {
  public:
    ProbeWindow() {
        window_ = CreateTestWindow(L"LaurelightProbe", L"probe", RECT{0, 0, 300, 300}, ProbeProc);
    }
    ~ProbeWindow() { DestroyWindow(window_); }
    ProbeWindow(const ProbeWindow&) = delete;
    ProbeWindow& operator=(const ProbeWindow&) = delete;
    HWND get() const { return window_; }

  private:
    HWND window_ = nullptr;
};

std::u16string ListItem(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return u"<none>";
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Serves every message until the flag is set, as the message loop would.
void PumpUntil(const std::atomic<bool>& done) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done && std::chrono::steady_clock::now() < give_up) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
}

TEST(ListBoxes, FilledFromAnotherThreadWhileTheOwnerPumps) {
    ProbeWindow parent;
    HWND list = CreateWindowExW(
        0, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY, 10, 10, 200,
        200, parent.get(), reinterpret_cast<HMENU>(1001), GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(list, nullptr);
    platform::ListAdd(list, u"stale");

    const std::u16string item = u"Note Taker - Open it.\n触发方式: Run notepad.exe";
    std::atomic<bool> done{false};
    std::thread worker([&] {
        platform::ListReset(list);
        platform::ListAdd(list, u"zeta");
        platform::ListAdd(list, item);
        platform::ListAdd(list, u"alpha");
        platform::ListAdd(list, u"zeta");
        done = true;
    });
    PumpUntil(done);
    worker.join();

    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(ListItem(list, 0), u"zeta") << "items keep the order they were added in";
    EXPECT_EQ(ListItem(list, 1), item);
    EXPECT_EQ(ListItem(list, 2), u"alpha");
    EXPECT_EQ(ListItem(list, 3), u"zeta");

    // An item replaced in place keeps the list scrolled where it was.
    for (int more = 0; more < 40; ++more) platform::ListAdd(list, u"filler");
    SendMessageW(list, LB_SETTOPINDEX, 20, 0);
    platform::ListReplace(list, 25, u"（1/3 次）");
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 20);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 44);
    EXPECT_EQ(ListItem(list, 25), u"（1/3 次）");
}

TEST(JoinServingSentMessages, ReturnsWhileTheThreadSendsToTheJoinersWindow) {
    ProbeWindow window;
    HWND target = window.get();
    g_sent_seen = 0;
    g_posted_seen = 0;
    LRESULT answer = 0;
    bool delivered = false;
    std::thread sender([&] {
        PostMessageW(target, POSTED_PROBE, 0, 0);
        Sleep(100);  // let the joiner settle into its wait first
        DWORD_PTR result = 0;
        delivered = SendMessageTimeoutW(target, SENT_PROBE, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
        answer = static_cast<LRESULT>(result);
        // A second request after the first was answered is served as well.
        delivered = delivered &&
                    SendMessageTimeoutW(target, SENT_PROBE, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
    });

    const auto start = std::chrono::steady_clock::now();
    platform::JoinServingSentMessages(sender);
    const auto waited = std::chrono::steady_clock::now() - start;

    EXPECT_FALSE(sender.joinable());
    EXPECT_TRUE(delivered) << "the sends were answered, not timed out";
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(g_sent_seen, 2);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(waited).count(), 4000);
    EXPECT_EQ(g_posted_seen, 0) << "posted messages wait for the message loop";

    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, target, POSTED_PROBE, POSTED_PROBE, PM_REMOVE));
    DispatchMessageW(&msg);
    EXPECT_EQ(g_posted_seen, 1);
}

TEST(JoinServingSentMessages, JoinsAThreadThatAlreadyEnded) {
    std::atomic<bool> ran{false};
    std::thread quick([&] { ran = true; });
    Sleep(50);
    platform::JoinServingSentMessages(quick);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(quick.joinable());
    platform::JoinServingSentMessages(quick);  // nothing left to join: returns at once
}

struct BoxSeen {
    std::wstring caption;
    std::wstring text;
    bool icon = false;
};

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM param) {
    BoxSeen& seen = *reinterpret_cast<BoxSeen*>(param);
    wchar_t kind[64] = {};
    GetClassNameW(child, kind, 64);
    if (std::wstring(kind) != L"Static") return TRUE;
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        seen.icon = true;
        return TRUE;
    }
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    if (text[0] != L'\0') seen.text = text;
    return TRUE;
}

TEST(ErrorMessage, IsAModalBoxWithTheErrorCaptionAndIcon) {
    BoxSeen seen;
    std::atomic<bool> pressed{false};
    const DWORD own_thread = GetCurrentThreadId();
    std::thread watcher([&] {
        for (int i = 0; i < 500 && !pressed; ++i) {
            HWND box = nullptr;
            EnumThreadWindows(
                own_thread,
                [](HWND window, LPARAM param) -> BOOL {
                    wchar_t kind[16] = {};
                    GetClassNameW(window, kind, 16);
                    if (std::wstring(kind) != L"#32770" || !IsWindowVisible(window)) return TRUE;
                    *reinterpret_cast<HWND*>(param) = window;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&box));
            if (box != nullptr) {
                wchar_t caption[64] = {};
                GetWindowTextW(box, caption, 64);
                seen.caption = caption;
                EnumChildWindows(box, ReadBoxChild, reinterpret_cast<LPARAM>(&seen));
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                pressed = true;
            }
            Sleep(20);
        }
    });
    platform::ShowErrorMessage(
        nullptr, u"找不到成就配置文件！\n请确保以下文件存在：\nC:\\x\\bin\\adv.json", u"错误");
    watcher.join();
    ASSERT_TRUE(pressed) << "the box appeared and was closed by its OK button";
    EXPECT_EQ(seen.caption, L"错误");
    EXPECT_EQ(seen.text, L"找不到成就配置文件！\n请确保以下文件存在：\nC:\\x\\bin\\adv.json");
    EXPECT_TRUE(seen.icon);
}

}  // namespace
