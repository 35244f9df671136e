#pragma once
// The user's choices of how Laurelight behaves beside their work, kept in adv_settings.txt
// beside adv_save.txt: one "key=value" line each, UTF-8, CR LF. Only what the user changed is
// ever written, so a folder whose user changed nothing has no such file and everything behaves
// as it always has. Lines this version does not know (a newer version's keys, notes) and lines
// it cannot read are kept as they are.
//
//   tray_icon=false            no notification-area icon (default true)
//   minimize_to_tray=true      minimizing hides the window and its taskbar button
//   paused=true                no check pass runs until resumed
//   muted=true                 no unlock sound
//   toast_corner=bottom_left   top_right (default), bottom_right, top_left, bottom_left
//   toast_screen=active_window primary (default) or the screen of the active window
//   window=120,80,1000,700     the main window's normal place: left,top,width,height in pixels
//   window_maximized=true

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ToastCorner : std::uint8_t { TopRight, BottomRight, TopLeft, BottomLeft };
enum class ToastScreen : std::uint8_t { Primary, ActiveWindow };

// Where the main window was when it closed, in the system's virtual-screen pixels.
struct WindowPlace {
    bool known = false;  // false: the first start's default place
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool maximized = false;
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

struct AppSettings {
    bool tray_icon = true;
    bool minimize_to_tray = false;
    bool paused = false;
    bool muted = false;
    ToastCorner toast_corner = ToastCorner::TopRight;
    ToastScreen toast_screen = ToastScreen::Primary;
    WindowPlace window;
    friend bool operator==(const AppSettings&, const AppSettings&) = default;
};

// A line that gave no setting, for laurelight-check to name. The line itself is kept.
enum class SettingsLineProblem : std::uint8_t {
    NotKeyValue,  // no '=' (blank lines are not named)
    UnknownKey,   // kept for the version that knows it
    BadValue,     // a known key with a value this version cannot use
};

struct SkippedSettingsLine {
    std::size_t number = 0;  // 1-based
    std::string text;        // as the file holds it, without its line end
    SettingsLineProblem problem = SettingsLineProblem::NotKeyValue;
};

struct SettingsReading {
    AppSettings settings;  // the defaults where the file says nothing usable
    std::vector<SkippedSettingsLine> skipped;
};

// Reads every line; for a key given twice the later usable line wins.
SettingsReading ReadSettings(std::string_view bytes);

// The file for `settings`, written over `previous` (the file as it is, possibly empty): every
// usable line of a known key takes the setting's value in its place, settings that differ
// from the defaults and have no line yet are appended, and every other byte (a byte-order mark,
// unknown and unreadable lines, blank lines) stays as it was. New lines end in CR LF.
std::string SerializeSettings(const AppSettings& settings, std::string_view previous);
