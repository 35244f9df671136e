#pragma once
// The console of laurelight-check: its arguments as UTF-16, UTF-8 text out, and Ctrl+C.

#include <string>
#include <string_view>
#include <vector>

// The arguments after the program name.
std::vector<std::u16string> CommandLineArguments(int argc, char** argv);

// Writes UTF-8 text: as bytes into a pipe or file, as characters onto a console window.
// False when not all of it could be written.
bool WriteStdout(std::string_view text);
void WriteStderr(std::string_view text);

// From now on Ctrl+C (and, on Linux, SIGTERM) asks a running watch to stop, which then ends
// normally, instead of ending the process.
void CatchStopRequest();
bool StopRequested();
