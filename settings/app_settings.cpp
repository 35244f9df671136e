// Each known key reads its value into the settings and writes it back; a table keeps the
// two directions of one key side by side.

#include "settings/app_settings.h"

#include <array>
#include <charconv>
#include <optional>

#include "text/text_encoding.h"

namespace {

constexpr int MAX_COORDINATE = 100'000;  // beyond any desktop: a damaged line
constexpr int MIN_WINDOW_SIZE = 100;

struct SettingKey {
    std::string_view name;
    // Takes the value into the settings; false when it cannot be used.
    bool (*read)(std::string_view value, AppSettings& settings);
    // The value to write; nothing when the setting has no value to write (an unknown place).
    std::optional<std::string> (*write)(const AppSettings& settings);
};

std::optional<bool> ReadBool(std::string_view value) {
    if (value == "true") return true;
    if (value == "false") return false;
    return std::nullopt;
}

std::string BoolText(bool value) {
    return value ? "true" : "false";
}

template <bool AppSettings::*field>
bool ReadFlag(std::string_view value, AppSettings& settings) {
    const std::optional<bool> flag = ReadBool(value);
    if (flag) settings.*field = *flag;
    return flag.has_value();
}

template <bool AppSettings::*field>
std::optional<std::string> WriteFlag(const AppSettings& settings) {
    return BoolText(settings.*field);
}

constexpr std::array<std::string_view, 4> CORNER_NAMES = {"top_right", "bottom_right", "top_left",
                                                          "bottom_left"};
constexpr std::array<std::string_view, 2> SCREEN_NAMES = {"primary", "active_window"};

template <class Enum, std::size_t N>
std::optional<Enum> ReadName(std::string_view value, const std::array<std::string_view, N>& names) {
    for (std::size_t index = 0; index < N; ++index) {
        if (names[index] == value) return static_cast<Enum>(index);
    }
    return std::nullopt;
}

bool ReadCorner(std::string_view value, AppSettings& settings) {
    const auto corner = ReadName<ToastCorner>(value, CORNER_NAMES);
    if (corner) settings.toast_corner = *corner;
    return corner.has_value();
}

bool ReadScreen(std::string_view value, AppSettings& settings) {
    const auto screen = ReadName<ToastScreen>(value, SCREEN_NAMES);
    if (screen) settings.toast_screen = *screen;
    return screen.has_value();
}

std::optional<int> ReadInt(std::string_view text) {
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return {};
    return number;
}

// "left,top,width,height": four whole numbers, a size no window is too small or too large for.
bool ReadPlace(std::string_view value, AppSettings& settings) {
    std::array<int, 4> numbers{};
    for (std::size_t index = 0; index < numbers.size(); ++index) {
        const std::size_t comma = value.find(',');
        const bool last = index + 1 == numbers.size();
        if (last != (comma == std::string_view::npos)) return false;
        const std::optional<int> number = ReadInt(value.substr(0, comma));
        if (!number || *number < -MAX_COORDINATE || *number > MAX_COORDINATE) return false;
        numbers[index] = *number;
        if (!last) value.remove_prefix(comma + 1);
    }
    if (numbers[2] < MIN_WINDOW_SIZE || numbers[3] < MIN_WINDOW_SIZE) return false;
    WindowPlace& place = settings.window;
    place.known = true;
    place.left = numbers[0];
    place.top = numbers[1];
    place.width = numbers[2];
    place.height = numbers[3];
    return true;
}

std::optional<std::string> WritePlace(const AppSettings& settings) {
    const WindowPlace& place = settings.window;
    if (!place.known) return std::nullopt;
    return std::to_string(place.left) + "," + std::to_string(place.top) + "," +
           std::to_string(place.width) + "," + std::to_string(place.height);
}

bool ReadMaximized(std::string_view value, AppSettings& settings) {
    const std::optional<bool> flag = ReadBool(value);
    if (flag) settings.window.maximized = *flag;
    return flag.has_value();
}

std::optional<std::string> WriteMaximized(const AppSettings& settings) {
    if (!settings.window.known) return std::nullopt;
    return BoolText(settings.window.maximized);
}

const std::array<SettingKey, 8> SETTING_KEYS = {{
    {"tray_icon", ReadFlag<&AppSettings::tray_icon>, WriteFlag<&AppSettings::tray_icon>},
    {"minimize_to_tray", ReadFlag<&AppSettings::minimize_to_tray>,
     WriteFlag<&AppSettings::minimize_to_tray>},
    {"paused", ReadFlag<&AppSettings::paused>, WriteFlag<&AppSettings::paused>},
    {"muted", ReadFlag<&AppSettings::muted>, WriteFlag<&AppSettings::muted>},
    {"toast_corner", ReadCorner,
     [](const AppSettings& s) -> std::optional<std::string> {
         return std::string(CORNER_NAMES[static_cast<std::size_t>(s.toast_corner)]);
     }},
    {"toast_screen", ReadScreen,
     [](const AppSettings& s) -> std::optional<std::string> {
         return std::string(SCREEN_NAMES[static_cast<std::size_t>(s.toast_screen)]);
     }},
    {"window", ReadPlace, WritePlace},
    {"window_maximized", ReadMaximized, WriteMaximized},
}};

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// One line of the file: where it stands, and its text without the line end.
struct FileLine {
    std::size_t begin = 0;
    std::size_t end = 0;  // of the text; the line end follows
    std::string_view text;
};

std::vector<FileLine> SplitLines(std::string_view bytes) {
    std::vector<FileLine> lines;
    std::size_t begin = bytes.starts_with(UTF8_BYTE_ORDER_MARK) ? UTF8_BYTE_ORDER_MARK.size() : 0;
    while (begin < bytes.size()) {
        std::size_t next = bytes.find('\n', begin);
        if (next == std::string_view::npos) next = bytes.size();
        std::size_t end = next;
        if (end > begin && bytes[end - 1] == '\r') --end;
        lines.push_back({begin, end, bytes.substr(begin, end - begin)});
        begin = next + 1;
    }
    return lines;
}

const SettingKey* FindKey(std::string_view name) {
    for (const SettingKey& key : SETTING_KEYS) {
        if (key.name == name) return &key;
    }
    return nullptr;
}

// The key a line sets with a usable value, or null; the problem when it sets none.
const SettingKey* UsableKey(std::string_view line, SettingsLineProblem& problem) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        problem = SettingsLineProblem::NotKeyValue;
        return nullptr;
    }
    const SettingKey* key = FindKey(Trimmed(line.substr(0, equals)));
    if (key == nullptr) {
        problem = SettingsLineProblem::UnknownKey;
        return nullptr;
    }
    AppSettings scratch;
    if (!key->read(Trimmed(line.substr(equals + 1)), scratch)) {
        problem = SettingsLineProblem::BadValue;
        return nullptr;
    }
    return key;
}

}  // namespace

SettingsReading ReadSettings(std::string_view bytes) {
    SettingsReading reading;
    const std::vector<FileLine> lines = SplitLines(bytes);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string_view text = lines[index].text;
        if (Trimmed(text).empty()) continue;
        SettingsLineProblem problem{};
        const SettingKey* key = UsableKey(text, problem);
        if (key == nullptr) {
            reading.skipped.push_back({index + 1, std::string(text), problem});
            continue;
        }
        key->read(Trimmed(text.substr(text.find('=') + 1)), reading.settings);
    }
    return reading;
}

std::string SerializeSettings(const AppSettings& settings, std::string_view previous) {
    std::string out;
    std::size_t copied = 0;
    std::array<bool, SETTING_KEYS.size()> written{};
    for (const FileLine& line : SplitLines(previous)) {
        SettingsLineProblem problem{};
        const SettingKey* key = UsableKey(line.text, problem);
        if (key == nullptr) continue;
        const std::optional<std::string> value = key->write(settings);
        if (!value) continue;
        out.append(previous.substr(copied, line.begin - copied));
        out.append(std::string(key->name) + "=" + *value);
        copied = line.end;
        written[static_cast<std::size_t>(key - SETTING_KEYS.data())] = true;
    }
    out.append(previous.substr(copied));
    const AppSettings defaults;
    for (std::size_t index = 0; index < SETTING_KEYS.size(); ++index) {
        const SettingKey& key = SETTING_KEYS[index];
        const std::optional<std::string> value = key.write(settings);
        if (written[index] || !value || value == key.write(defaults)) continue;
        if (!out.empty() && out.back() != '\n') out += "\r\n";
        out += std::string(key.name) + "=" + *value + "\r\n";
    }
    return out;
}
