#!/usr/bin/env bash
# Builds the fuzz targets with clang in build/fuzz and runs each for a bounded time, starting
# from the committed seed corpus. Fails on any crash, leak, timeout or sanitizer report.
#   LAURELIGHT_FUZZ_SECONDS  seconds per target (default 60)
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${LAURELIGHT_FUZZ_SECONDS:-60}
python3 tests/fuzz/make_corpus.py --check ||
    echo "fuzz: the seed corpus lags behind the test inputs; run tests/fuzz/make_corpus.py" >&2
build=build/fuzz
CXX=clang++ cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 --target config_scan_fuzz config_edit_fuzz progress_fuzz format_fuzz

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in config_scan_fuzz config_edit_fuzz progress_fuzz format_fuzz; do
    seeds=tests/fuzz/corpus/${target%_fuzz}
    seeds=${seeds/config_scan/config}
    seeds=${seeds/config_edit/config}
    work=$build/work/$target
    mkdir -p "$work" "$build/crashes"
    echo "== fuzz $target for ${seconds}s"
    # New inputs go to the scratch corpus; the committed seeds are only read.
    if ! "$build/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/crashes/$target-" \
            "$work" "$seeds" >"$build/$target.log" 2>&1; then
        tail -n 40 "$build/$target.log"
        echo "fuzz: $target failed; the input is in $build/crashes/" >&2
        status=1
        continue
    fi
    grep -E '^stat::(number_of_executed_units|peak_rss_mb|new_units_added)' "$build/$target.log" || true
done
exit $status
