#include <csignal>

#include "check/stop_request.h"

namespace {

volatile std::sig_atomic_t g_stop_requested = 0;

void OnStopSignal(int) {
    g_stop_requested = 1;
}

}  // namespace

void CatchStopRequest() {
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
}

bool StopRequested() {
    return g_stop_requested != 0;
}
