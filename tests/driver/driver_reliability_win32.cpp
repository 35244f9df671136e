// Resource counts of another process for the long-run tests: kernel handles, GDI and USER
// objects, and its top-level windows by class, so that a leak shows as growth over a run.

#include <map>

#include "tests/driver/driver.h"

namespace driver {
namespace {

struct WindowCount {
    DWORD process_id;
    std::map<std::string, int> per_class;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM context) {
    auto* count = reinterpret_cast<WindowCount*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == count->process_id) ++count->per_class[Narrow(ClassName(window))];
    return TRUE;
}

}  // namespace

// resources <window>: for the process that owns the window, its handle count, GDI and USER
// object counts (-1 where the system cannot tell) and its top-level windows per class.
Json CmdResources(const Args& args) {
    HWND window = RequireWindow(Arg(args, 0));
    WindowCount windows{0, {}};
    GetWindowThreadProcessId(window, &windows.process_id);
    platform::UniqueHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, windows.process_id));
    if (!process.Valid()) throw Failure("cannot open the process of " + Arg(args, 0));
    DWORD handles = 0;
    // A live process always holds some handle; Wine answers 0.
    const long long handle_count = GetProcessHandleCount(process.Get(), &handles) && handles > 0
                                       ? static_cast<long long>(handles)
                                       : -1;
    SetLastError(0);
    const DWORD gdi = GetGuiResources(process.Get(), GR_GDIOBJECTS);
    const bool gdi_known = gdi != 0 || GetLastError() == 0;
    const DWORD user = GetGuiResources(process.Get(), GR_USEROBJECTS);
    const bool user_known = user != 0 || GetLastError() == 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&windows));
    Json per_class = Json::object();
    for (const auto& [name, count] : windows.per_class) per_class[name] = count;
    return Json{{"ok", true},
                {"pid", windows.process_id},
                {"handles", handle_count},
                {"gdi_objects", gdi_known ? static_cast<long long>(gdi) : -1},
                {"user_objects", user_known ? static_cast<long long>(user) : -1},
                {"windows", per_class}};
}

}  // namespace driver
