#pragma once
// laurelight-check --add, --edit and --remove: one achievement of bin\adv.json changed through
// the configuration's one writer (config/config_edit.h), which changes only the lines it must.

#include <string>

#include "check/options.h"

// Makes the edit the options name, or says on stderr why it is refused or cannot be written,
// with every problem of the values in English and Chinese. Returns the tool's exit code.
int RunEdit(const std::u16string& config_path, const Options& options);
