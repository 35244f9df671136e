#pragma once
// The achievement dialog's list of what runs now (a report-style list view): each program with
// its icon and its main window's title, then each visible window with its program. The
// dialog refreshes it every few seconds; a refresh keeps the filter, the selected row and the
// scroll position, and changes nothing while what runs stays the same. Windows only; UI thread
// only.

#include "platform/win32/win32.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/gdi_holders.h"
#include "tracker/trigger_choices.h"

class TriggerPicker {
  public:
    TriggerPicker() = default;
    TriggerPicker(const TriggerPicker&) = delete;
    TriggerPicker& operator=(const TriggerPicker&) = delete;

    // Columns sized to the list, and the icons' image list, at the list's DPI.
    void Attach(HWND list);
    // Reads what runs now and shows the choices that hold the filter.
    void Refresh(std::u16string_view filter);
    // Shows the choices of the last reading that hold the filter (a keystroke in the filter
    // box does not walk every process again).
    void Filter(std::u16string_view filter);
    // The choice shown in this row; null for none.
    const TriggerChoice* ChoiceAt(int row) const;
    // True while the picker itself changes the rows and their selection.
    bool Filling() const { return filling_; }

  private:
    int IconIndex(const std::u16string& path);
    void Fill(const std::vector<TriggerChoice>& choices);

    HWND list_ = nullptr;
    ImageListHandle icons_;
    std::map<std::u16string, int> icon_of_path_;
    std::vector<TriggerChoice> running_;  // the last reading, unfiltered
    std::vector<TriggerChoice> shown_;
    bool filling_ = false;
};
