#pragma once
// laurelight-check --format [--write]: the configuration in the layout Laurelight reads.

#include <string>

// --output FILE: stdout goes to the file from now on. Refuses the configuration itself, which
// would be emptied before it is read (--format --write replaces it safely).
int RedirectOutput(const std::u16string& output, const std::u16string& config_path);

// Prints the formatted configuration, or with `write` replaces the file by it (the old one is
// kept as adv.json.bak) when nothing is lost. Returns the tool's exit code.
int RunFormat(const std::u16string& config_path, bool write);
