#include "app/main_fonts.h"

#include "platform/dpi_scale.h"
#include "platform/win32/dpi_win32.h"
#include "platform/win32/gdi_holders.h"
#include "resources/resource_ids.h"

namespace {

constexpr int LIST_FONT_HEIGHT = 16;  // at 96 DPI

// Both live until the program ends or the window moves to a screen with another scale.
FontObject g_listFont;
FontObject g_guiFont;  // null while the stock font fits

HFONT CreateListFont(int dpi) {
    return CreateFontW(platform::Scale(LIST_FONT_HEIGHT, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                       FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"微软雅黑");
}

// The stock font is made once for the session's DPI; another screen gets a scaled copy.
HFONT CreateGuiFont(int dpi) {
    const int system_dpi = platform::SystemDpi();
    if (dpi == system_dpi) return nullptr;
    LOGFONTW font{};
    if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font) == 0) return nullptr;
    font.lfHeight = platform::ScaleBetween(font.lfHeight, dpi, system_dpi);
    font.lfWidth = platform::ScaleBetween(font.lfWidth, dpi, system_dpi);
    return CreateFontIndirectW(&font);
}

void SetFont(HWND control, HFONT font) {
    if (control != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace

void ApplyMainFonts(HWND window, int dpi) {
    if (HFONT list_font = CreateListFont(dpi)) {
        SetFont(GetDlgItem(window, IDC_COMPLETED_LIST), list_font);
        SetFont(GetDlgItem(window, IDC_PENDING_LIST), list_font);
        g_listFont.Reset(list_font);
    }
    // The line lets go of the old GUI font before it is freed.
    HFONT gui_font = CreateGuiFont(dpi);
    SetFont(GetDlgItem(window, IDC_SAVE_STATUS),
            gui_font != nullptr ? gui_font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    g_guiFont.Reset(gui_font);
}

HFONT MainGuiFont() {
    return g_guiFont.Get() != nullptr ? g_guiFont.Get()
                                      : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}
