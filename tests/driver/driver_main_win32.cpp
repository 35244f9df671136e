// laurelight-driver: drives a running Laurelight from outside for the end-to-end tests.
//
//   laurelight-driver <command> [args...]   runs one command
//   laurelight-driver                       reads commands from stdin, one JSON array of
//                                           strings per line, e.g. ["lists","LaurelightMain"]
//
// Each command answers one JSON line on stdout (ASCII, non-ASCII text \u-escaped), with
// "ok": false and an "error" when it failed.

#include <cstdio>
#include <iostream>
#include <string>
#include <utility>

#include "platform/win32/system_library_win32.h"
#include "tests/driver/driver.h"

namespace {

// Per-monitor aware, the driver reads every window's place and size in the screen's own
// pixels, whatever DPI the prefix runs at; unaware, it would get them mapped to 96 DPI.
void SeeScreenPixels() {
    using SetAwareness = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const auto set =
        platform::SystemFunction<SetAwareness>(L"user32.dll", "SetProcessDpiAwarenessContext");
    if (set != nullptr) set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
}

using driver::Json;

const std::pair<const char*, driver::Command> COMMANDS[] = {
    {"find", driver::CmdFind},
    {"wait", driver::CmdWait},
    {"wait_gone", driver::CmdWaitGone},
    {"info", driver::CmdInfo},
    {"children", driver::CmdChildren},
    {"windows", driver::CmdWindows},
    {"foreground", driver::CmdForeground},
    {"work_area", driver::CmdWorkArea},
    {"sample_x", driver::CmdSampleX},
    {"set_rect", driver::CmdSetRect},
    {"restore", driver::CmdRestore},
    {"list", driver::CmdList},
    {"lists", driver::CmdLists},
    {"msgbox", driver::CmdMessageBox},
    {"press_ok", driver::CmdPressOk},
    {"set_text", driver::CmdSetText},
    {"click", driver::CmdClick},
    {"choose", driver::CmdChoose},
    {"rows", driver::CmdRows},
    {"menu", driver::CmdMenu},
    {"menu_resource", driver::CmdMenuResource},
    {"open_menu", driver::CmdOpenMenu},
    {"key", driver::CmdKey},
    {"close", driver::CmdClose},
    {"minimize", driver::CmdMinimize},
    {"maximize", driver::CmdMaximize},
    {"mouse", driver::CmdMouse},
    {"end_session", driver::CmdEndSession},
    {"sleep", driver::CmdSleep},
    {"hold_file", driver::CmdHoldFile},
    {"hold_state_lock", driver::CmdHoldStateLock},
    {"unlock_latency", driver::CmdUnlockLatency},
    {"process_usage", driver::CmdProcessUsage},
    {"check_cost", driver::CmdCheckCost},
    {"moves", driver::CmdMoves},
    {"answer_times", driver::CmdAnswerTimes},
    {"resources", driver::CmdResources},
};

Json Run(const std::string& name, const driver::Args& args) {
    for (const auto& entry : COMMANDS) {
        if (name == entry.first) {
            try {
                return entry.second(args);
            } catch (const std::exception& error) {
                return Json{{"ok", false}, {"error", error.what()}};
            }
        }
    }
    return Json{{"ok", false}, {"error", "unknown command " + name}};
}

void Answer(const Json& answer) {
    const std::string line = answer.dump(-1, ' ', true, Json::error_handler_t::replace);
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int Serve() {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        Json request = Json::parse(line, nullptr, false);
        if (!request.is_array() || request.empty() || !request[0].is_string()) {
            Answer(Json{{"ok", false}, {"error", "expected a JSON array of strings"}});
            continue;
        }
        driver::Args args;
        for (std::size_t i = 1; i < request.size(); ++i) {
            args.push_back(request[i].is_string() ? request[i].get<std::string>()
                                                  : request[i].dump());
        }
        const std::string name = request[0].get<std::string>();
        if (name == "quit") break;
        Answer(Run(name, args));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    SeeScreenPixels();
    if (argc < 2) return Serve();
    driver::Args args(argv + 2, argv + argc);
    const Json answer = Run(argv[1], args);
    Answer(answer);
    return answer.value("ok", false) ? 0 : 1;
}
