// The line is a static control rather than painted text, so that the window system (and
// with it screen readers and test tools) can read what it says.

#include "app/save_status_line.h"

#include <string>

#include "app/app_globals.h"
#include "app/main_fonts.h"
#include "progress/save_status.h"
#include "resources/resource_ids.h"
#include "tracker/tracker.h"

namespace {

// No '&' mnemonics in a path; a long path loses its middle, not the file name.
constexpr DWORD STATUS_LINE_STYLE = WS_CHILD | SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS;
constexpr COLORREF STATUS_LINE_TEXT_COLOR = RGB(176, 0, 0);

}  // namespace

HWND CreateSaveStatusLine(HWND parent, const LayoutBox& box) {
    HWND line = CreateWindowExW(
        0, L"STATIC", L"", STATUS_LINE_STYLE, box.left, box.top, box.width, box.height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SAVE_STATUS)), g_hInstance, nullptr);
    if (line != nullptr) {
        SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(MainGuiFont()), FALSE);
    }
    return line;
}

void RefreshSaveStatusLine(HWND parent, const AchievementTracker& tracker) {
    HWND line = GetDlgItem(parent, IDC_SAVE_STATUS);
    if (line == nullptr) return;
    const SaveProblem problem = tracker.save_problem.load();
    const bool stats_unreadable = tracker.stats_unreadable.load();
    if (problem.reason == platform::FileError::None && !stats_unreadable &&
        tracker.config_status.empty()) {
        ShowWindow(line, SW_HIDE);
        SetWindowTextW(line, L"");
        return;
    }
    // The progress comes first: a lost unlock weighs more than a lost count, and both more
    // than a configuration that was not taken over (the running one goes on).
    const std::u16string text =
        problem.reason != platform::FileError::None
            ? SaveProblemLine(FailedFile(tracker.save_path, problem), problem.reason)
        : stats_unreadable ? StatsUnreadableLine(tracker.stats_path)
                           : tracker.config_status;
    SetWindowTextW(line, platform::Wide(text));
    ShowWindow(line, SW_SHOWNA);
}

HBRUSH SaveStatusLineColors(HDC dc) {
    SetTextColor(dc, STATUS_LINE_TEXT_COLOR);
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
}
