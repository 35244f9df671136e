#pragma once
// The test driver: commands that look at and act on another program's windows from
// outside, the way a user (or an accessibility tool) would. Every command takes its
// arguments as UTF-8 strings and answers one JSON object.

#include "platform/win32/win32.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace driver {

using Json = nlohmann::json;
using Args = std::vector<std::string>;
using Command = Json (*)(const Args& args);

// A failed command: reported as {"ok": false, "error": ...}.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::wstring Wide(const std::string& utf8);
std::string Narrow(const std::wstring& text);

const std::string& Arg(const Args& args, std::size_t index);
long long IntArg(const Args& args, std::size_t index, long long fallback);

// "0x1a2b" or decimal digits name a window handle; anything else is a top-level class name.
HWND FindTopLevel(const std::string& target);
HWND RequireWindow(const std::string& target);
std::string HandleText(HWND window);

// SendMessageW that gives up after a few seconds, so a hung program fails the command
// instead of stalling the driver.
LRESULT SendOrFail(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
Json WindowFacts(HWND window);

// Commands, one per name in the table of driver_main_win32.cpp.
Json CmdFind(const Args& args);
Json CmdWait(const Args& args);
Json CmdWaitGone(const Args& args);
Json CmdInfo(const Args& args);
Json CmdChildren(const Args& args);
Json CmdWindows(const Args& args);
Json CmdForeground(const Args& args);
Json CmdWorkArea(const Args& args);
Json CmdSampleX(const Args& args);
Json CmdSetRect(const Args& args);
Json CmdRestore(const Args& args);
Json CmdList(const Args& args);
Json CmdLists(const Args& args);
Json CmdMessageBox(const Args& args);
Json CmdPressOk(const Args& args);
Json CmdSetText(const Args& args);
Json CmdClick(const Args& args);
Json CmdChoose(const Args& args);
Json CmdRows(const Args& args);
Json CmdMenu(const Args& args);
Json CmdMenuResource(const Args& args);
Json CmdOpenMenu(const Args& args);
Json CmdKey(const Args& args);
Json CmdClose(const Args& args);
Json CmdMinimize(const Args& args);
Json CmdMaximize(const Args& args);
Json CmdMouse(const Args& args);
Json CmdEndSession(const Args& args);
Json CmdSleep(const Args& args);
// Holds the file open without sharing, as another program may; no path lets it go.
Json CmdHoldFile(const Args& args);
// Holds the folder's state lock, as another writer in the middle of its save; no folder lets go.
Json CmdHoldStateLock(const Args& args);
Json CmdUnlockLatency(const Args& args);
Json CmdProcessUsage(const Args& args);
Json CmdCheckCost(const Args& args);
Json CmdMoves(const Args& args);
Json CmdAnswerTimes(const Args& args);
Json CmdResources(const Args& args);

}  // namespace driver
