#include "check/console.h"

#include <csignal>
#include <cstdio>

#include "text/utf8.h"

namespace {

volatile std::sig_atomic_t g_stop_requested = 0;

void OnStopSignal(int) {
    g_stop_requested = 1;
}

}  // namespace

std::vector<std::u16string> CommandLineArguments(int argc, char** argv) {
    std::vector<std::u16string> arguments;
    for (int index = 1; index < argc; ++index) arguments.push_back(Utf8ToUtf16(argv[index]));
    return arguments;
}

bool WriteStdout(std::string_view text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return std::fflush(stdout) == 0 && written;
}

void WriteStderr(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

void CatchStopRequest() {
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
}

bool StopRequested() {
    return g_stop_requested != 0;
}
