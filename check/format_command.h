#pragma once
// laurelight-check --format [--write] [--drop-extra]: the configuration in the layout
// Laurelight reads.

#include <string>

#include "check/options.h"

// Puts the formatted configuration into `out`, or with --write replaces the file by it (the
// old one is kept as adv.json.bak) when nothing is lost. Returns the tool's exit code.
int RunFormat(const std::u16string& config_path, const Options& options, std::string& out);
