#!/usr/bin/env bash
# Fails when a C++ source of the project does not follow .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
