#include "check/settings_findings.h"

#include "platform/files.h"
#include "settings/settings_file.h"
#include "text/utf8.h"

namespace {

constexpr char FILE_NAME[] = "adv_settings.txt";

// The key of a key=value line, quoted, without the blanks around it.
std::string QuotedKey(const std::string& line) {
    std::string key = line.substr(0, line.find('='));
    key.erase(0, key.find_first_not_of(" \t"));
    key.erase(key.find_last_not_of(" \t") + 1);
    return Quoted(Utf8ToUtf16(key));
}

ConfigFinding FindingFor(const SkippedSettingsLine& line) {
    const std::string key =
        line.problem == SettingsLineProblem::NotKeyValue ? "" : QuotedKey(line.text);
    switch (line.problem) {
        case SettingsLineProblem::UnknownKey:
            return {
                line.number, "settings-unknown-key",
                "adv_settings.txt: key " + key +
                    " is not one Laurelight knows (a newer version's, or mistyped); the line "
                    "is ignored and kept as it is",
                "adv_settings.txt：键 " + key +
                    " 不是 Laurelight 认识的键（较新版本的键，或拼写有误）；此行被忽略并原样保留",
                FILE_NAME};
        case SettingsLineProblem::BadValue:
            return {line.number, "settings-bad-value",
                    "adv_settings.txt: the value of " + key +
                        " cannot be used; the line is ignored and kept as it is, and the setting "
                        "stays as the file's other lines or the default give it",
                    "adv_settings.txt：" + key +
                        " 的值无法使用；此行被忽略并原样保留，该设置取文件中其他行的值或默认值",
                    FILE_NAME};
        case SettingsLineProblem::NotKeyValue:
            break;
    }
    return {line.number, "settings-line-unreadable",
            "adv_settings.txt: this line is not key=value; it is ignored and kept as it is",
            "adv_settings.txt：此行不是“键=值”的形式；此行被忽略并原样保留", FILE_NAME};
}

}  // namespace

void ReportSettingsFindings(const std::u16string& settings_path, ScanReport& report) {
    if (!platform::FileExists(settings_path)) return;
    for (const SkippedSettingsLine& line : LoadSettingsFile(settings_path).skipped) {
        report.findings.push_back(FindingFor(line));
    }
}
