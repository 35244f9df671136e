// Measuring commands for the benchmarks: how soon a started program is unlocked, what a
// process costs while it idles, when a window is seen to move, and how soon it answers.

#include "platform/win32/win32.h"
#include <mmsystem.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <chrono>

#include "platform/desktop.h"
#include "tests/driver/driver.h"

namespace driver {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// Millisecond timers and sleeps for the length of one command.
class FineTimer {
  public:
    FineTimer() { timeBeginPeriod(1); }
    ~FineTimer() { timeEndPeriod(1); }
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;
};

// Size of the file without opening it (-1 when absent): an open handle, however shared,
// would make the program's replacing save fail while we hold it.
long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool FileContains(const std::wstring& path, const std::string& text) {
    platform::UniqueHandle file(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    return bytes.find(text) != std::string::npos;
}

// Waits until the file holds the text, reading it only when its size has changed.
bool WaitForText(const std::wstring& path, const std::string& text, Clock::time_point start,
                 double timeout) {
    long long known_size = FileSize(path);
    for (;;) {
        const long long size = FileSize(path);
        if (size != known_size) {
            if (FileContains(path, text)) return true;
            known_size = size;
        }
        if (MsSince(start) > timeout) return false;
        Sleep(1);
    }
}

DWORD FindProcessId(const std::wstring& exe_name) {
    platform::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Valid()) throw Failure("no process snapshot");
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, exe_name.c_str()) == 0) return entry.th32ProcessID;
    }
    throw Failure("no process " + Narrow(exe_name));
}

double FileTimeMs(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 10000.0;  // 100 ns units
}

// Kernel plus user time of every thread of the process. Summed per thread because Wine
// reports a process's own times only to that process itself.
double CpuMs(DWORD process_id) {
    platform::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot.Valid()) throw Failure("no thread snapshot");
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    double total = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
         more = Thread32Next(snapshot.Get(), &entry)) {
        if (entry.th32OwnerProcessID != process_id) continue;
        platform::UniqueHandle thread(
            OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID));
        FILETIME created, exited, kernel, user;
        if (thread.Valid() && GetThreadTimes(thread.Get(), &created, &exited, &kernel, &user)) {
            total += FileTimeMs(kernel) + FileTimeMs(user);
        }
    }
    return total;
}

// Also the process's own view, for comparison where the platform gives it.
double ProcessCpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    return FileTimeMs(kernel) + FileTimeMs(user);
}

double ThisThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    return FileTimeMs(kernel) + FileTimeMs(user);
}

bool WalkToTheEnd(std::u16string_view, void*) {
    return false;
}

}  // namespace

// check_cost <process_name|window_title> <count>: what one open achievement of that trigger
// type costs in each pass, the program's own desktop walk to the end (as for a trigger that
// never matches), run count times here: CPU and wall time per walk.
Json CmdCheckCost(const Args& args) {
    const bool processes = Arg(args, 0) == "process_name";
    if (!processes && args[0] != "window_title") throw Failure("unknown trigger type " + args[0]);
    const long long count = IntArg(args, 1, 1000);
    if (count <= 0) throw Failure("count must be positive");
    const double cpu_before = ThisThreadCpuMs();
    const auto start = Clock::now();
    for (long long i = 0; i < count; ++i) {
        if (processes) {
            platform::VisitProcessNames(WalkToTheEnd, nullptr);
        } else {
            platform::VisitVisibleWindowTitles(WalkToTheEnd, nullptr);
        }
    }
    const double wall = MsSince(start);
    const double cpu = ThisThreadCpuMs() - cpu_before;
    return Json{{"ok", true},
                {"count", count},
                {"cpu_ms_per_check", cpu / static_cast<double>(count)},
                {"wall_ms_per_check", wall / static_cast<double>(count)}};
}

// unlock_latency <exe> <arguments> <file> <text> [timeout_ms]: starts the program and
// answers how many milliseconds passed until the file held the text. The program is left
// running; it ends by itself.
Json CmdUnlockLatency(const Args& args) {
    const std::wstring file = Wide(Arg(args, 2));
    const std::string& text = Arg(args, 3);
    const double timeout = static_cast<double>(IntArg(args, 4, 10000));
    if (FileContains(file, text)) throw Failure("the file holds the text already");
    std::wstring command_line = L"\"" + Wide(Arg(args, 0)) + L"\" " + Wide(Arg(args, 1));
    // The program's output goes to NUL: left alone it would write into our answers.
    SECURITY_ATTRIBUTES inheritable = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    platform::UniqueHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                           OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.Get();
    startup.hStdOutput = nul.Get();
    startup.hStdError = nul.Get();
    PROCESS_INFORMATION started = {};
    FineTimer fine;
    const auto start = Clock::now();
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
        throw Failure("cannot start " + Arg(args, 0));
    }
    platform::UniqueHandle process(started.hProcess);
    platform::UniqueHandle thread(started.hThread);
    const double created_ms = MsSince(start);
    if (!WaitForText(file, text, start, timeout)) throw Failure("no unlock within the timeout");
    return Json{{"ok", true},
                {"ms", MsSince(start)},
                {"create_process_ms", created_ms},
                {"pid", started.dwProcessId}};
}

// process_usage <exe name> <duration_ms>: CPU time the running process uses over the
// duration, and its peak working set.
Json CmdProcessUsage(const Args& args) {
    const DWORD id = FindProcessId(Wide(Arg(args, 0)));
    const DWORD duration = static_cast<DWORD>(IntArg(args, 1, 30000));
    platform::UniqueHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, id));
    if (!process.Valid()) throw Failure("cannot open process " + Arg(args, 0));
    const auto start = Clock::now();
    const double threads_before = CpuMs(id);
    const double process_before = ProcessCpuMs(process.Get());
    Sleep(duration);
    const double threads_after = CpuMs(id);
    const double process_after = ProcessCpuMs(process.Get());
    const double wall = MsSince(start);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    if (!GetProcessMemoryInfo(process.Get(), &memory, sizeof(memory)))
        throw Failure("no memory counters");
    return Json{{"ok", true},
                {"pid", id},
                {"wall_ms", wall},
                {"cpu_ms", threads_after - threads_before},
                {"process_times_cpu_ms", process_after - process_before},
                {"peak_working_set", static_cast<unsigned long long>(memory.PeakWorkingSetSize)},
                {"working_set", static_cast<unsigned long long>(memory.WorkingSetSize)}};
}

// answer_times <window> <duration_ms> [interval_ms] [timeout_ms]: sends the window WM_NULL
// every interval, as a program that talks to it would, and answers how many milliseconds each
// answer took; one not given within the timeout counts as the timeout and as unanswered.
Json CmdAnswerTimes(const Args& args) {
    HWND window = RequireWindow(Arg(args, 0));
    const double duration = static_cast<double>(IntArg(args, 1, 20000));
    const auto interval = std::chrono::milliseconds(IntArg(args, 2, 50));
    const UINT timeout = static_cast<UINT>(IntArg(args, 3, 10000));
    FineTimer fine;
    Json times = Json::array();
    int unanswered = 0;
    const auto start = Clock::now();
    for (auto next = start; MsSince(start) < duration;) {
        const auto sent = Clock::now();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeout, &result)) {
            if (!IsWindow(window)) throw Failure("the window is gone");
            ++unanswered;
        }
        times.push_back(MsSince(sent));
        // A late answer shifts the rhythm instead of bunching the sends that follow it.
        next += interval;
        const auto now = Clock::now();
        if (next <= now) {
            next = now;
        } else {
            Sleep(static_cast<DWORD>(
                std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count()));
        }
    }
    return Json{{"ok", true}, {"times_ms", times}, {"unanswered", unanswered}};
}

// moves <class> [appear_timeout_ms] [life_timeout_ms]: waits for a top-level window of the
// class, then watches its left edge every millisecond until it is gone, and answers each
// position with the time it was first seen, in ms from the first sighting.
Json CmdMoves(const Args& args) {
    const std::wstring window_class = Wide(Arg(args, 0));
    const double appear_timeout = static_cast<double>(IntArg(args, 1, 10000));
    const double life_timeout = static_cast<double>(IntArg(args, 2, 15000));
    FineTimer fine;
    const auto waiting = Clock::now();
    HWND window = nullptr;
    while ((window = FindWindowW(window_class.c_str(), nullptr)) == nullptr) {
        if (MsSince(waiting) > appear_timeout) throw Failure("no window " + Arg(args, 0));
        Sleep(1);
    }
    const auto seen = Clock::now();
    Json moves = Json::array();
    long last_x = 0;
    RECT rect = {};
    while (IsWindow(window) && GetWindowRect(window, &rect)) {
        if (moves.empty() || rect.left != last_x) {
            moves.push_back(Json::array({MsSince(seen), rect.left}));
            last_x = rect.left;
        }
        if (MsSince(seen) > life_timeout) throw Failure("window still there");
        Sleep(1);
    }
    return Json{{"ok", true},
                {"moves", moves},
                {"waited_ms", std::chrono::duration<double, std::milli>(seen - waiting).count()}};
}

}  // namespace driver
