#!/usr/bin/env bash
# Cross-builds the Windows program and runs its tests under Wine: the unit tests against the
# real Win32 seam, then the end-to-end tests that drive Laurelight.exe from outside.
#
#   scripts/test_windows.sh            # everything
#   scripts/test_windows.sh toast      # only the GoogleTest programs and Python modules whose
#                                      # names contain "toast" (while working on one part)
#
# LAURELIGHT_BUILD_DIR picks another build directory than the mingw preset's own.
# Wine runs in a fresh private prefix in the build directory, on a private Xvfb, with one wineserver
# kept alive for the whole run; everything started here is stopped on the way out.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=$(realpath -m "${LAURELIGHT_BUILD_DIR:-build/mingw}")
echo "== mingw: cross build in $build_dir"
cmake --preset mingw -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

# shellcheck source=scripts/wine_env.sh
source scripts/wine_env.sh
trap wine_env_stop EXIT
trap 'exit 130' INT TERM
echo "== wine: fresh prefix and virtual desktop"
wine_env_start "$build_dir/wine-prefix"

only="${1:-}"
for tests in "$build_dir"/tests/laurelight_*tests.exe; do
    [[ -z "$only" || "$(basename "$tests")" == *"$only"* ]] || continue
    echo "== wine: $(basename "$tests")"
    # Wine's DirectShow prints GStreamer assertions whenever it cannot decode a stream (the MCI
    # tests' wave-device sound); they say nothing about the program.
    timeout 300 scripts/wine "$tests" --gtest_brief=1 2> >(grep -v -e 'GStreamer-CRITICAL' -e '^$' >&2)
done

echo "== wine: end-to-end tests of Laurelight.exe"
LAURELIGHT_BUILD_DIR="$build_dir" timeout 480 python3 -m unittest discover -s tests/wine -p "*${only}*_test.py" -v
