// Reading and working the controls of another program: list boxes, list views, edit fields,
// buttons, combo boxes, message boxes, menu commands and the close box.

#include "platform/win32/win32.h"
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "tests/driver/driver.h"

namespace driver {
namespace {

HWND RequireChild(HWND parent, int id) {
    HWND child = GetDlgItem(parent, id);
    if (child == nullptr) throw Failure("no child with id " + std::to_string(id));
    return child;
}

// An item far longer than any a test configures.
constexpr std::size_t LIST_ITEM_ROOM = 65536;

constexpr int LIST_READ_TRIES = 50;

// One read of the items, or none when the program changed the list meanwhile (a refill, an
// item replaced in place). LB_GETTEXT is marshalled across processes, like WM_GETTEXT, and
// takes no buffer size: room for any item, and a text of another length means a change.
std::optional<Json> TryListItems(HWND list) {
    Json items = Json::array();
    const LRESULT count = SendOrFail(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendOrFail(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length == LB_ERR) return std::nullopt;
        std::wstring text(
            std::max<std::size_t>(static_cast<std::size_t>(length), LIST_ITEM_ROOM) + 1, L'\0');
        const LRESULT copied = SendOrFail(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                          reinterpret_cast<LPARAM>(text.data()));
        if (copied != length) return std::nullopt;
        text.resize(static_cast<std::size_t>(copied));
        items.push_back(Narrow(text));
    }
    if (SendOrFail(list, LB_GETCOUNT, 0, 0) != count) return std::nullopt;
    return items;
}

Json ListItems(HWND list) {
    for (int tries = 0; tries < LIST_READ_TRIES; ++tries) {
        if (std::optional<Json> items = TryListItems(list)) return *items;
        Sleep(10);
    }
    throw Failure("the list kept changing while it was read");
}

struct DialogSearch {
    HWND found;
    std::string owner_class;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM param) {
    DialogSearch& search = *reinterpret_cast<DialogSearch*>(param);
    if (!IsWindowVisible(window) || ClassName(window) != L"#32770") return TRUE;
    HWND owner = GetWindow(window, GW_OWNER);
    if (!search.owner_class.empty() &&
        (owner == nullptr || Narrow(ClassName(owner)) != search.owner_class)) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

// One level of a menu: each item's text, command id (-1 for a pop-up, 0 for a separator) and
// check mark, with the items of its pop-up. Only a menu of this process can be read.
Json MenuItems(HMENU menu) {
    Json items = Json::array();
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 255;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
            throw Failure("menu item not readable");
        }
        long long id = info.wID;
        if (info.hSubMenu != nullptr) id = -1;
        if ((info.fType & MFT_SEPARATOR) != 0) id = 0;
        Json item = {
            {"text", Narrow(text)}, {"id", id}, {"checked", (info.fState & MFS_CHECKED) != 0}};
        if (info.hSubMenu != nullptr) item["items"] = MenuItems(info.hSubMenu);
        items.push_back(item);
    }
    return items;
}

Json PostSystemCommand(const Args& args, WPARAM command) {
    HWND window = RequireWindow(Arg(args, 0));
    if (!PostMessageW(window, WM_SYSCOMMAND, command, 0)) throw Failure("post failed");
    return Json{{"ok", true}};
}

// Memory in the process of another program's window: the list view's messages carry pointers,
// which the system does not carry across processes as it does a window text's.
class RemoteMemory {
  public:
    RemoteMemory(HWND window, std::size_t size) : size_(size) {
        DWORD process_id = 0;
        GetWindowThreadProcessId(window, &process_id);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               process_id);
        if (process_ != nullptr) {
            address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        }
        if (address_ == nullptr) {
            if (process_ != nullptr) CloseHandle(process_);
            throw Failure("no memory in the window's process");
        }
    }
    ~RemoteMemory() {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    char* At(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
    void Write(std::size_t offset, const void* bytes, std::size_t count) const {
        if (offset + count > size_ ||
            !WriteProcessMemory(process_, At(offset), bytes, count, nullptr))
            throw Failure("cannot write into the window's process");
    }
    void Read(std::size_t offset, void* bytes, std::size_t count) const {
        if (offset + count > size_ ||
            !ReadProcessMemory(process_, At(offset), bytes, count, nullptr))
            throw Failure("cannot read from the window's process");
    }

  private:
    std::size_t size_;
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

constexpr int CELL_ROOM = 1024;

std::string CellText(HWND list, const RemoteMemory& memory, int row, int column) {
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = CELL_ROOM;
    item.pszText = reinterpret_cast<LPWSTR>(memory.At(sizeof(LVITEMW)));
    memory.Write(0, &item, sizeof(item));
    const LRESULT length = SendOrFail(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                      reinterpret_cast<LPARAM>(memory.At(0)));
    std::wstring text(static_cast<std::size_t>(std::clamp<LRESULT>(length, 0, CELL_ROOM)), L'\0');
    memory.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t));
    return Narrow(text);
}

// A screen coordinate as SendInput's absolute scale (0..65535 across the primary screen) has
// it, aimed a quarter into the pixel so that either rounding lands on it.
LONG Normalized(int pixel, int screen) {
    return static_cast<LONG>((4LL * pixel + 1) * 65536 / (4LL * screen));
}

}  // namespace

// set_text <window> <control id> <text>: as if the user had typed it (an edit field tells its
// parent of the change).
Json CmdSetText(const Args& args) {
    HWND control = RequireChild(RequireWindow(Arg(args, 0)), static_cast<int>(IntArg(args, 1, 0)));
    const std::wstring text = Wide(Arg(args, 2));
    SendOrFail(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return Json{{"ok", true}};
}

// click <window> <control id>: a button's click, queued, so a box it opens does not hold the
// driver.
Json CmdClick(const Args& args) {
    HWND button = RequireChild(RequireWindow(Arg(args, 0)), static_cast<int>(IntArg(args, 1, 0)));
    if (!PostMessageW(button, BM_CLICK, 0, 0)) throw Failure("post failed");
    return Json{{"ok", true}};
}

// choose <window> <control id> <index>: selects an entry of a combo box or a list box (and
// tells its parent, as a choice by the user does) or a row of a list view.
Json CmdChoose(const Args& args) {
    HWND parent = RequireWindow(Arg(args, 0));
    const int id = static_cast<int>(IntArg(args, 1, 0));
    HWND control = RequireChild(parent, id);
    const auto index = static_cast<WPARAM>(IntArg(args, 2, 0));
    const std::wstring kind = ClassName(control);
    if (kind == L"ComboBox" || kind == L"ListBox") {
        const bool combo = kind == L"ComboBox";
        if (SendOrFail(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0) == LB_ERR)
            throw Failure("no such entry");
        PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
        return Json{{"ok", true}};
    }
    const RemoteMemory memory(control, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    memory.Write(0, &item, sizeof(item));
    if (!SendOrFail(control, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(memory.At(0))))
        throw Failure("no such row");
    return Json{{"ok", true}};
}

// rows <window> <control id>: the cells of a list view, row by row.
Json CmdRows(const Args& args) {
    HWND list = RequireChild(RequireWindow(Arg(args, 0)), static_cast<int>(IntArg(args, 1, 0)));
    HWND header = reinterpret_cast<HWND>(SendOrFail(list, LVM_GETHEADER, 0, 0));
    const LRESULT columns = header != nullptr ? SendOrFail(header, HDM_GETITEMCOUNT, 0, 0) : 1;
    const RemoteMemory memory(list, sizeof(LVITEMW) + (CELL_ROOM + 1) * sizeof(wchar_t));
    Json rows = Json::array();
    const LRESULT count = SendOrFail(list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < count; ++row) {
        Json cells = Json::array();
        for (int column = 0; column < columns; ++column) {
            cells.push_back(CellText(list, memory, row, column));
        }
        rows.push_back(cells);
    }
    return Json{{"ok", true}, {"rows", rows}};
}

// list <window> <control id>
Json CmdList(const Args& args) {
    HWND parent = RequireWindow(Arg(args, 0));
    return Json{{"ok", true},
                {"items", ListItems(RequireChild(parent, static_cast<int>(IntArg(args, 1, 0))))}};
}

// lists <window>: the completed (1001) and open (1002) lists of the main window, and the
// height of a line of the completed list, which follows its font.
Json CmdLists(const Args& args) {
    HWND parent = RequireWindow(Arg(args, 0));
    HWND completed = RequireChild(parent, 1001);
    return Json{{"ok", true},
                {"completed", ListItems(completed)},
                {"pending", ListItems(RequireChild(parent, 1002))},
                {"item_height", SendOrFail(completed, LB_GETITEMHEIGHT, 0, 0)}};
}

// msgbox [timeout_ms] [owner class]: waits for a visible message box and reads its
// caption, its text and its buttons.
Json CmdMessageBox(const Args& args) {
    const auto start = std::chrono::steady_clock::now();
    const long long timeout = IntArg(args, 0, 10000);
    DialogSearch search = {nullptr, args.size() > 1 ? args[1] : std::string()};
    for (;;) {
        EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) break;
        const auto waited = std::chrono::steady_clock::now() - start;
        if (std::chrono::duration_cast<std::chrono::milliseconds>(waited).count() > timeout) {
            throw Failure("no message box");
        }
        Sleep(10);
    }
    Json texts = Json::array();
    Json buttons = Json::array();
    for (HWND child = GetWindow(search.found, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring kind = ClassName(child);
        const std::wstring text = WindowText(child);
        if (kind == L"Button") {
            buttons.push_back(Json{{"id", GetDlgCtrlID(child)}, {"text", Narrow(text)}});
        } else if (kind == L"Static" && !text.empty()) {
            texts.push_back(Narrow(text));
        }
    }
    Json facts = WindowFacts(search.found);
    facts["caption"] = facts["text"];
    facts["text"] = texts.size() == 1 ? texts[0] : Json(texts);
    facts["buttons"] = buttons;
    facts["has_icon"] = false;
    // The icon is a static control with SS_ICON and no text.
    for (HWND child = GetWindow(search.found, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == L"Static" &&
            (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            facts["has_icon"] = true;
        }
    }
    return facts;
}

// press_ok <dialog>: clicks the OK button.
Json CmdPressOk(const Args& args) {
    HWND dialog = RequireWindow(Arg(args, 0));
    HWND button = GetDlgItem(dialog, IDOK);
    if (button == nullptr) throw Failure("no OK button");
    if (!PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button))) {
        throw Failure("post failed");
    }
    return Json{{"ok", true}};
}

// menu <window> <command id>: as if the menu item had been chosen.
Json CmdMenu(const Args& args) {
    HWND window = RequireWindow(Arg(args, 0));
    const WPARAM command = static_cast<WPARAM>(IntArg(args, 1, 0));
    if (!PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0)) throw Failure("post failed");
    return Json{{"ok", true}};
}

// menu_resource <exe path> <menu id>: the menu as the executable's resources define it, the
// one its window class loads. Wine keeps a running program's menus out of other processes'
// reach, so the resource is read instead.
Json CmdMenuResource(const Args& args) {
    HMODULE module = LoadLibraryExW(Wide(Arg(args, 0)).c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) throw Failure("cannot load " + args[0]);
    HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(IntArg(args, 1, 0)));
    Json answer = {{"ok", menu != nullptr}};
    if (menu != nullptr) {
        answer["items"] = MenuItems(menu);
        DestroyMenu(menu);
    } else {
        answer["error"] = "no such menu";
    }
    FreeLibrary(module);
    return answer;
}

// open_menu <window> <mnemonic>: opens the menu bar's pop-up with that mnemonic letter, as
// Alt and the letter do. The program's own thread then runs the menu and answers keys.
Json CmdOpenMenu(const Args& args) {
    HWND window = RequireWindow(Arg(args, 0));
    const std::wstring letter = Wide(Arg(args, 1));
    if (letter.size() != 1) throw Failure("one mnemonic letter");
    if (!PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(letter[0]))) {
        throw Failure("post failed");
    }
    return Json{{"ok", true}};
}

// key <window> <virtual key>: one key press and release, queued to the window's thread (an
// open menu takes the keys of its thread whatever window they are sent to).
Json CmdKey(const Args& args) {
    HWND window = RequireWindow(Arg(args, 0));
    const WPARAM key = static_cast<WPARAM>(IntArg(args, 1, 0));
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | static_cast<LPARAM>(scan) << 16;
    const LPARAM up = down | static_cast<LPARAM>(3) << 30;
    if (!PostMessageW(window, WM_KEYDOWN, key, down) || !PostMessageW(window, WM_KEYUP, key, up)) {
        throw Failure("post failed");
    }
    return Json{{"ok", true}};
}

// close, minimize, maximize <window>: the frame's boxes, through the system command each sends.
Json CmdClose(const Args& args) {
    return PostSystemCommand(args, SC_CLOSE);
}

Json CmdMinimize(const Args& args) {
    return PostSystemCommand(args, SC_MINIMIZE);
}

Json CmdMaximize(const Args& args) {
    return PostSystemCommand(args, SC_MAXIMIZE);
}

// mouse <x> <y> [left|right|move]: the pointer moved to the screen point, then a click of
// that button there, through the input queue as a real mouse's would come. Every event carries
// the point: under Wine the X server reports the pointer's earlier moves late, and a button
// event without a point would land wherever such a late report has just put the cursor.
Json CmdMouse(const Args& args) {
    const int x = static_cast<int>(IntArg(args, 0, 0));
    const int y = static_cast<int>(IntArg(args, 1, 0));
    if (!SetCursorPos(x, y)) throw Failure("SetCursorPos failed");
    const std::string button = args.size() > 2 ? args[2] : "left";
    const bool right = button == "right";
    const DWORD down = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    const DWORD up = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    const DWORD flags[] = {0, down, up};
    const UINT count = button == "move" ? 1 : 3;
    INPUT inputs[3] = {};
    for (UINT i = 0; i < count; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = Normalized(x, GetSystemMetrics(SM_CXSCREEN));
        inputs[i].mi.dy = Normalized(y, GetSystemMetrics(SM_CYSCREEN));
        inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    if (SendInput(count, inputs, sizeof(INPUT)) != count) throw Failure("SendInput failed");
    return Json{{"ok", true}};
}

// end_session <window>: what Windows sends a window when the user logs off and no program
// objects: the query, then the end. The window may be gone, or its process, afterwards.
Json CmdEndSession(const Args& args) {
    HWND window = RequireWindow(Arg(args, 0));
    const LRESULT agreed = SendOrFail(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    SendOrFail(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    return Json{{"ok", true}, {"agreed", agreed != 0}};
}

}  // namespace driver
