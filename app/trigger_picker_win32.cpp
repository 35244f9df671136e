#include "platform/win32/win32.h"
#include <shellapi.h>

#include "app/trigger_picker.h"

#include <algorithm>

#include "platform/dpi_scale.h"
#include "platform/win32/dpi_win32.h"

namespace {

constexpr int SMALL_ICON_SIZE = 16;  // at 96 DPI
// Shares of the list's width: name, kind, and the window title or program.
constexpr int NAME_SHARE = 38;
constexpr int KIND_SHARE = 12;

constexpr char16_t PROGRAM_KIND[] = u"程序";
constexpr char16_t WINDOW_KIND[] = u"窗口";

void AddColumn(HWND list, int index, const wchar_t* caption, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(caption);
    column.cx = width;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

void SetCell(HWND list, int row, int column, const std::u16string& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(platform::Wide(text));
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// The executable's small icon, through the shell.
HICON SmallIconOf(const std::u16string& path) {
    SHFILEINFOW info{};
    if (SHGetFileInfoW(platform::Wide(path), 0, &info, sizeof(info),
                       SHGFI_ICON | SHGFI_SMALLICON) == 0) {
        return nullptr;
    }
    return info.hIcon;
}

int SelectedRow(HWND list) {
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SelectRow(HWND list, int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void TriggerPicker::Attach(HWND list) {
    list_ = list;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RECT client{};
    GetClientRect(list, &client);
    const int width = client.right - client.left - GetSystemMetrics(SM_CXVSCROLL);
    AddColumn(list, 0, L"名称", width * NAME_SHARE / 100);
    AddColumn(list, 1, L"类型", width * KIND_SHARE / 100);
    AddColumn(list, 2, L"窗口标题 / 所属程序", width * (100 - NAME_SHARE - KIND_SHARE) / 100);
    const int size = platform::Scale(SMALL_ICON_SIZE, platform::WindowDpi(list));
    icons_.Reset(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 16, 16));
    if (icons_.Get() == nullptr) return;
    ImageList_AddIcon(icons_.Get(), LoadIconW(nullptr, IDI_APPLICATION));  // for unknown paths
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons_.Get()));
}

// Each executable's icon is read once for the dialog's life.
int TriggerPicker::IconIndex(const std::u16string& path) {
    if (path.empty() || icons_.Get() == nullptr) return 0;
    const auto known = icon_of_path_.find(path);
    if (known != icon_of_path_.end()) return known->second;
    const IconHolder icon(SmallIconOf(path));
    const int index = icon.Get() != nullptr ? ImageList_AddIcon(icons_.Get(), icon.Get()) : -1;
    return icon_of_path_[path] = std::max(index, 0);
}

void TriggerPicker::Refresh(std::u16string_view filter) {
    if (list_ == nullptr) return;
    running_ = RunningChoices();
    Filter(filter);
}

void TriggerPicker::Filter(std::u16string_view filter) {
    if (list_ == nullptr) return;
    std::vector<TriggerChoice> choices = running_;
    std::erase_if(choices, [filter](const TriggerChoice& c) { return !ChoiceMatches(c, filter); });
    if (choices == shown_) return;
    Fill(choices);
    shown_ = std::move(choices);
}

void TriggerPicker::Fill(const std::vector<TriggerChoice>& choices) {
    const TriggerChoice* selected = ChoiceAt(SelectedRow(list_));
    const TriggerChoice keep = selected != nullptr ? *selected : TriggerChoice{};
    const auto top = static_cast<int>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
    filling_ = true;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t index = 0; index < choices.size(); ++index) {
        const TriggerChoice& choice = choices[index];
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(index);
        item.pszText = const_cast<wchar_t*>(platform::Wide(choice.value));
        item.iImage = IconIndex(choice.icon_path);
        const auto row = static_cast<int>(
            SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        const bool program = choice.type == TriggerType::ProcessName;
        SetCell(list_, row, 1, program ? PROGRAM_KIND : WINDOW_KIND);
        SetCell(list_, row, 2, choice.detail);
        if (selected != nullptr && choice.type == keep.type && choice.value == keep.value) {
            SelectRow(list_, row);
        }
    }
    const int count = static_cast<int>(choices.size());
    if (count > 0) {
        const int per_page = static_cast<int>(SendMessageW(list_, LVM_GETCOUNTPERPAGE, 0, 0));
        SendMessageW(list_, LVM_ENSUREVISIBLE, std::min(top + std::max(per_page, 1) - 1, count - 1),
                     FALSE);
        SendMessageW(list_, LVM_ENSUREVISIBLE, std::min(top, count - 1), FALSE);
    }
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
    filling_ = false;
}

const TriggerChoice* TriggerPicker::ChoiceAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= shown_.size()) return nullptr;
    return &shown_[static_cast<std::size_t>(row)];
}
