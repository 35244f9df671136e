// Native builds have no Windows desktop: no processes or windows to match, no list boxes,
// and a failed load is reported on stderr instead of in a message box.

#include <chrono>
#include <cstdio>

#include "text/utf8.h"
#include "platform/desktop.h"

namespace platform {

bool VisitProcessNames(TextVisitor, void*) {
    return false;
}
bool VisitVisibleWindowTitles(TextVisitor, void*) {
    return false;
}

void ShowErrorMessage(void*, const std::u16string& text) {
    std::fprintf(stderr, "%s\n", Utf16ToUtf8(text).c_str());
}

void ListReset(void*) {}
void ListAdd(void*, const std::u16string&) {}

bool PostToWindow(void*, unsigned, std::uintptr_t, std::intptr_t) {
    return false;
}

void SleepMilliseconds(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void JoinServingSentMessages(std::thread& thread) {
    thread.join();
}

}  // namespace platform
