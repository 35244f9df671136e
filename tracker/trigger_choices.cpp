#include "tracker/trigger_choices.h"

#include <algorithm>
#include <map>
#include <set>

#include "platform/desktop.h"
#include "platform/files.h"
#include "text/ascii_case.h"
#include "tracker/tracker.h"

namespace {

struct Program {
    std::u16string name;
    std::u16string path;
    std::set<std::uint32_t> ids;
};

// Processes by folded file name, the first path that could be read kept.
std::map<std::u16string, Program> ProgramsByName(
    const std::vector<platform::RunningProcess>& processes) {
    std::map<std::u16string, Program> programs;
    for (const platform::RunningProcess& process : processes) {
        Program& program = programs[LowerAsciiText(process.name)];
        if (program.name.empty()) program.name = process.name;
        if (program.path.empty()) program.path = process.path;
        program.ids.insert(process.id);
    }
    return programs;
}

const platform::RunningProcess* ProcessWithId(
    const std::vector<platform::RunningProcess>& processes, std::uint32_t id) {
    for (const platform::RunningProcess& process : processes) {
        if (process.id == id) return &process;
    }
    return nullptr;
}

}  // namespace

std::vector<TriggerChoice> RunningChoices() {
    const std::vector<platform::RunningProcess> processes = platform::RunningProcesses();
    std::vector<platform::VisibleWindow> windows = platform::VisibleWindowsWithProcesses();
    const std::uint32_t self = platform::CurrentProcessId();
    std::erase_if(windows, [self](const platform::VisibleWindow& window) {
        return window.cloak != 0 || window.process_id == self;
    });
    std::vector<TriggerChoice> with_window;
    std::vector<TriggerChoice> without_window;
    for (const auto& named : ProgramsByName(processes)) {
        const auto& program = named.second;  // a lambda may not capture a structured binding
        const auto shown = std::find_if(windows.begin(), windows.end(), [&](const auto& window) {
            return program.ids.contains(window.process_id);
        });
        TriggerChoice choice{TriggerType::ProcessName, program.name,
                             shown != windows.end() ? shown->title : std::u16string(),
                             program.path};
        (choice.detail.empty() ? without_window : with_window).push_back(std::move(choice));
    }
    std::vector<TriggerChoice> choices = std::move(with_window);
    choices.insert(choices.end(), without_window.begin(), without_window.end());
    for (const platform::VisibleWindow& window : windows) {
        const platform::RunningProcess* process = ProcessWithId(processes, window.process_id);
        choices.push_back({TriggerType::WindowTitle,
                           window.title.substr(0, platform::MAX_TITLE_UNITS),
                           process != nullptr ? process->name : std::u16string(),
                           process != nullptr ? process->path : std::u16string()});
    }
    return choices;
}

bool ChoiceMatches(const TriggerChoice& choice, std::u16string_view filter) {
    const std::u16string folded = LowerAsciiText(filter);
    return LowerAsciiText(choice.value).find(folded) != std::u16string::npos ||
           LowerAsciiText(choice.detail).find(folded) != std::u16string::npos;
}

std::u16string MetNowLine(const Achievement& draft) {
    if (draft.trigger_type != TriggerType::ProcessName &&
        draft.trigger_type != TriggerType::WindowTitle) {
        return u"没有触发条件：它不会自动解锁";
    }
    if (draft.trigger_value.empty()) return u"选择或填写触发条件后，这里会显示它现在是否满足";
    TriggerMatch match;
    if (!TriggerMet(draft, &match)) {
        return draft.trigger_type == TriggerType::ProcessName
                   ? u"现在不满足：没有运行中的程序叫这个名字"
                   : u"现在不满足：没有哪个可见窗口的标题包含它";
    }
    if (draft.trigger_type == TriggerType::ProcessName) {
        return u"现在满足：" + match.process_name + u" 正在运行";
    }
    return u"现在满足：窗口「" + match.window_title + u"」包含「" + match.fragment + u"」";
}
