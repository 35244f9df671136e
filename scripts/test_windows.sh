#!/usr/bin/env bash
# Cross-builds the Windows program and runs its tests under Wine: the unit tests against the
# real Win32 seam, then the end-to-end tests that drive Laurelight.exe from outside.
#
#   scripts/test_windows.sh
#
# Wine runs in a fresh private prefix under build/, on a private Xvfb, with one wineserver
# kept alive for the whole run; everything started here is stopped on the way out.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

echo "== mingw: cross build"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)"

# shellcheck source=scripts/wine_env.sh
source scripts/wine_env.sh
trap wine_env_stop EXIT
echo "== wine: fresh prefix and virtual desktop"
wine_env_start "$root/build/wine-prefix-test"

for tests in build/mingw/tests/laurelight_*tests.exe; do
    echo "== wine: $(basename "$tests")"
    timeout 300 wine "$tests" --gtest_brief=1
done

echo "== wine: end-to-end tests of Laurelight.exe"
LAURELIGHT_BUILD_DIR="$root/build/mingw" timeout 480 python3 -m unittest discover -s tests/wine -p '*_test.py' -v
