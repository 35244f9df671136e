#include "check/bin_file_findings.h"

#include <string>

#include "config/bin_file_name.h"
#include "model/data_paths.h"
#include "platform/files.h"
#include "text/utf8.h"

namespace {

// One of the two members, with what the toast uses in place of a file it cannot use.
struct BinMember {
    const char* key;
    std::u16string Achievement::*name;
    BinNameProblem (*problem)(std::u16string_view name);
    const char* fallback;
    const char* fallback_zh;
};

const BinMember BIN_MEMBERS[] = {
    {"sound", &Achievement::sound, SoundNameProblem,
     "the default sound plays (adv_sound.wav, else adv_sound.mp3, else the beep)",
     "改为播放默认声音（adv_sound.wav，其次 adv_sound.mp3，再次系统提示音）"},
    {"picture", &Achievement::picture, PictureNameProblem,
     "the toast shows adv_back.png (or its plain panel)", "提示改用 adv_back.png（或纯色面板）"},
};

std::pair<const char*, const char*> ProblemText(BinNameProblem problem) {
    switch (problem) {
        case BinNameProblem::Folder:
            return {"it names a folder, a drive or only dots; write the file's name in bin\\ alone",
                    "它包含文件夹、驱动器或只有点号；请只写 bin\\ 中的文件名"};
        case BinNameProblem::ForbiddenCharacter:
            return {
                "it holds a character Windows forbids in file names (< > : \" | ? * or a "
                "control character)",
                "它含有 Windows 文件名中禁止的字符（< > : \" | ? * 或控制字符）"};
        case BinNameProblem::DeviceName:
            return {"it is a device name such as CON, NUL or COM1", "它是 CON、NUL、COM1 等设备名"};
        case BinNameProblem::NotSoundFile:
            return {"it ends in neither .wav nor .mp3", "其扩展名既不是 .wav 也不是 .mp3"};
        case BinNameProblem::None:
            break;
    }
    return {"", ""};
}

std::size_t EntryLine(const ScanReport& report, const Achievement& achievement) {
    const auto line = report.id_lines.find(achievement.id);
    return line != report.id_lines.end() ? line->second : 0;
}

void ReportMember(const AchievementTracker& tracker, const Achievement& achievement,
                  const BinMember& member, ScanReport& report) {
    const std::u16string& name = achievement.*member.name;
    if (name.empty()) return;
    const std::string what = std::string(member.key) + " " + Quoted(name);
    const std::string id = Quoted(achievement.id);
    const BinNameProblem problem = member.problem(name);
    if (problem != BinNameProblem::None) {
        const auto [english, chinese] = ProblemText(problem);
        report.findings.push_back(
            {EntryLine(report, achievement), "bin-name-refused",
             what + " of " + id + " cannot be used: " + english + "; " + member.fallback,
             id + " 的 " + what + " 无法使用：" + chinese + "；" + member.fallback_zh, ""});
        return;
    }
    const std::u16string folder = ExecutableDirectory(ExecutableDirectory(tracker.config_path));
    if (platform::FileExists(BinFilePath(folder, name))) return;
    report.findings.push_back(
        {EntryLine(report, achievement), "bin-file-missing",
         what + " of " + id + " is not in bin\\; " + member.fallback + " until it is there",
         id + " 的 " + what + " 不在 bin\\ 中；在它出现之前" + member.fallback_zh, ""});
}

}  // namespace

void ReportBinFileFindings(const AchievementTracker& tracker, ScanReport& report) {
    for (const Achievement& achievement : tracker.achievements) {
        for (const BinMember& member : BIN_MEMBERS)
            ReportMember(tracker, achievement, member, report);
    }
}
