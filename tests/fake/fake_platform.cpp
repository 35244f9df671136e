#include "tests/fake/fake_platform.h"

#include <dlfcn.h>
#include <pthread.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/audio.h"
#include "platform/desktop.h"

namespace {

FakePlatform* g_fake = new FakePlatform;

bool VisitAll(std::vector<std::u16string> texts, platform::TextVisitor visit, void* context) {
    for (const std::u16string& text : texts) {
        if (visit(text, context)) return true;
    }
    return false;
}

// Scripted ids, else 1000 + the process's place in the list.
std::uint32_t FakeProcessId(const FakePlatform& fake, std::size_t index) {
    return index < fake.process_ids.size() ? fake.process_ids[index]
                                           : static_cast<std::uint32_t>(1000 + index);
}

}  // namespace

// std::thread and everything else that starts a thread comes through here.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*start)(void*), void* argument) noexcept {
    if (g_fake != nullptr && g_fake->refuse_threads.load()) return EAGAIN;
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const Create real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    return real(thread, attributes, start, argument);
}

FakePlatform& Fake() {
    return *g_fake;
}

void ResetFake() {
    delete g_fake;
    g_fake = new FakePlatform;
}

namespace platform {

bool VisitProcesses(ProcessVisitor visit, void* context) {
    std::vector<std::u16string> names;
    std::vector<std::uint32_t> ids;
    {
        std::lock_guard lock(Fake().mutex);
        ++Fake().calls;
        ++Fake().process_walks;
        names = Fake().process_names;
        for (std::size_t index = 0; index < names.size(); ++index) {
            ids.push_back(FakeProcessId(Fake(), index));
        }
    }
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (visit(names[index], ids[index], context)) return true;
    }
    return false;
}

bool VisitVisibleWindowTitles(TextVisitor visit, void* context) {
    std::vector<std::u16string> titles;
    {
        std::lock_guard lock(Fake().mutex);
        ++Fake().calls;
        ++Fake().title_walks;
        for (const std::u16string& title : Fake().window_titles) {
            if (!title.empty()) titles.push_back(title.substr(0, 255));
        }
    }
    return VisitAll(std::move(titles), visit, context);
}

bool VisitVisibleWindows(WindowVisitor visit, void* context) {
    std::vector<std::pair<std::u16string, unsigned>> windows;
    {
        std::lock_guard lock(Fake().mutex);
        ++Fake().calls;
        ++Fake().title_walks;
        for (const std::u16string& title : Fake().window_titles) {
            const auto cloak = Fake().window_cloaks.find(title);
            if (!title.empty())
                windows.emplace_back(title,
                                     cloak == Fake().window_cloaks.end() ? 0 : cloak->second);
        }
    }
    for (const auto& [title, cloak] : windows) {
        if (visit(title, cloak, context)) return true;
    }
    return false;
}

std::vector<RunningProcess> RunningProcesses() {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    ++Fake().process_walks;
    std::vector<RunningProcess> processes;
    const FakePlatform& fake = Fake();
    for (std::size_t index = 0; index < fake.process_names.size(); ++index) {
        processes.push_back(
            {fake.process_names[index], FakeProcessId(fake, index),
             index < fake.process_paths.size() ? fake.process_paths[index] : std::u16string()});
    }
    return processes;
}

std::vector<VisibleWindow> VisibleWindowsWithProcesses() {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    ++Fake().title_walks;
    std::vector<VisibleWindow> windows;
    for (const std::u16string& title : Fake().window_titles) {
        if (title.empty()) continue;
        const auto process = Fake().window_processes.find(title);
        const auto cloak = Fake().window_cloaks.find(title);
        windows.push_back({title, process == Fake().window_processes.end() ? 0 : process->second,
                           cloak == Fake().window_cloaks.end() ? 0 : cloak->second});
    }
    return windows;
}

bool HasWindowTitles() {
    return true;
}

UserNotificationState QueryUserNotificationState() {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    ++Fake().notification_queries;
    return Fake().notification_state;
}

void ShowErrorMessage(platform::WindowRef, const std::u16string& text, const std::u16string&) {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    Fake().error_messages.push_back(text);
}

void ListReset(ListRef list) {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    Fake().list_calls.emplace_back(list.handle, u"<reset>");
    Fake().lists[list.handle].clear();
}

void ListAdd(ListRef list, const std::u16string& text) {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    Fake().list_calls.emplace_back(list.handle, text);
    Fake().lists[list.handle].push_back(text);
}

void ListReplace(ListRef list, std::size_t index, const std::u16string& text) {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    ++Fake().list_replacements;
    Fake().lists[list.handle].at(index) = text;
}

ScreenFacts PrimaryScreen() {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    return Fake().primary_screen;
}

std::optional<ScreenFacts> ForegroundWindowScreen() {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    return Fake().foreground_screen;
}

UserPresence QueryUserPresence() {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    return Fake().presence;
}

LocalTime LocalNow() {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    return Fake().local_time;
}

bool PostToWindow(WindowRef window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    if (!Fake().post_succeeds) return false;
    Fake().posts.push_back({window.handle, message, wparam, lparam});
    return true;
}

void SleepMilliseconds(unsigned milliseconds) {
    {
        std::lock_guard lock(Fake().mutex);
        ++Fake().sleeps;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void ServeSentMessagesFor(unsigned milliseconds) {
    SleepMilliseconds(milliseconds);
}

void JoinServingSentMessages(std::thread& thread) {
    thread.join();
}

void PlayWaveFileAsync(const std::u16string& path) {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    Fake().played_waves.push_back(path);
}

unsigned SendMciCommand(const std::u16string& command, std::u16string* reply) {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    Fake().mci_calls.push_back({command, reply != nullptr, std::this_thread::get_id()});
    if (reply != nullptr) {
        auto found = Fake().mci_replies.find(command);
        *reply = found == Fake().mci_replies.end() ? std::u16string() : found->second;
    }
    auto result = Fake().mci_results.find(command);
    return result == Fake().mci_results.end() ? 0u : result->second;
}

void DefaultBeep() {
    std::lock_guard lock(Fake().mutex);
    ++Fake().calls;
    ++Fake().beeps;
}

}  // namespace platform
