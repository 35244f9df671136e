#pragma once
// laurelight-check acting as if Laurelight.exe stood in the folder of the options: loads
// bin\adv.json and adv_save.txt exactly as the program does, then runs the one command the
// options name. A new command is one more mode here, on the loaded tracker.

#include <string>

#include "check/options.h"

// Puts what goes to stdout, or to the --output file, into `out`; returns the exit code.
// Reasons for failures go to stderr.
int RunCheckCommand(const Options& options, std::string& out);
