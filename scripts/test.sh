#!/usr/bin/env bash
# Runs every test of Laurelight: the native core (plain, ASan+UBSan, TSan), then the
# Windows build under Wine. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

jobs=$(nproc)
for preset in native asan tsan; do
    echo "== $preset: build and test"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done

echo "== fuzz: configuration scanner and writer, progress reader, --format"
tests/fuzz/run.sh

if [[ -x scripts/test_windows.sh ]]; then
    echo "== windows: cross build and tests under Wine"
    scripts/test_windows.sh
fi
echo "== all tests passed"
