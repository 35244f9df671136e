#!/usr/bin/env bash
# Builds and runs every benchmark of Laurelight and writes the table to build/bench/report.md
# and into the "Latest run" section of docs/performance.md:
# the core natively (Google Benchmark, Release, against the test double), then the Windows
# program under Wine (unlock latency, idle cost next to an empty message-loop program, toast
# frame pacing, the main window's answer time). Installs what it needs first.
#
#   scripts/bench.sh                # everything, about fifteen minutes on two cores
#   scripts/bench.sh --native-only  # the core benchmarks alone
#
# Wine runs in a fresh private prefix on a private Xvfb; everything started is stopped on exit.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
native_only=0
[[ "${1:-}" == "--native-only" ]] && native_only=1

scripts/setup.sh

out="$root/build/bench"
mkdir -p "$out"
rm -f "$out/native.json" "$out/wine.json" "$out/report.md"

echo "== native: Release build and benchmarks"
cmake -S . -B build/bench-native -G Ninja -DCMAKE_BUILD_TYPE=Release -DLAURELIGHT_BENCH=ON \
      -DLAURELIGHT_TESTS=OFF >/dev/null
cmake --build build/bench-native -j 2 --target laurelight_bench
build/bench-native/bench/laurelight_bench --benchmark_min_time="${BENCH_MIN_TIME:-0.5}" \
    --benchmark_out="$out/native.json" --benchmark_out_format=json

wine_args=()
if ((!native_only)); then
    echo "== windows: cross build of the program, the driver and the idle yardstick"
    cmake --preset mingw -B build/bench-mingw -DLAURELIGHT_BENCH=ON >/dev/null
    cmake --build build/bench-mingw -j 2 --target Laurelight laurelight-driver laurelight-sleeper laurelight-idle

    # shellcheck source=scripts/wine_env.sh
    source scripts/wine_env.sh
    trap wine_env_stop EXIT
    echo "== wine: fresh prefix and virtual desktop"
    wine_env_start "$out/wine-prefix"
    echo "== wine: unlock latency, toast pacing, idle cost, answer time (ten minutes or more)"
    LAURELIGHT_BUILD_DIR="$root/build/bench-mingw" timeout 2400 python3 bench/wine_bench.py "$out/wine.json"
    wine_args=(--wine "$out/wine.json")
fi

{
    lscpu | grep -E '^(Model name|Architecture|CPU\(s\)|Thread|Core|Socket|CPU max MHz|L[123])' || true
    uname -srmo
    if ((!native_only)); then wine --version; fi
} >"$out/machine.txt"

python3 scripts/bench_report.py --native "$out/native.json" "${wine_args[@]}" \
    --machine "$out/machine.txt" --out "$out/report.md"
# The report without its title, one heading level down, replaces what follows "## Latest run".
python3 - "$out/report.md" docs/performance.md <<'EOF_PY'
import sys
lines, fence = [], False
for line in open(sys.argv[1]).read().splitlines()[1:]:
    fence = fence != line.startswith("```")
    lines.append("#" + line if line.startswith("#") and not fence else line)
latest = "\n".join(lines).strip()
doc = open(sys.argv[2]).read()
marker = "## Latest run\n"
open(sys.argv[2], "w").write(doc[: doc.index(marker) + len(marker)] + "\n" + latest + "\n")
EOF_PY
echo "== report: $out/report.md, and docs/performance.md"
