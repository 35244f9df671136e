#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine with the demo configuration:
# starts Laurelight, then Notepad so that an achievement unlocks, takes a screenshot, and
# closes Laurelight through its window the way a user would.
#
#   scripts/run.sh            # the screenshot lands in build/demo-run/screenshot.png
#
# Uses $DISPLAY when there is one, otherwise a private Xvfb. Wine runs in a fresh private
# prefix under build/ with a 1280x800 virtual desktop. LAURELIGHT_BUILD_DIR picks another
# build directory than the mingw preset's own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh

build_dir=${LAURELIGHT_BUILD_DIR:-build/mingw}
echo "== build: $build_dir"
cmake --preset mingw -B "$build_dir" >/dev/null
cmake --build "$build_dir" --target Laurelight

run_dir="$root/build/demo-run"
echo "== demo folder: $run_dir"
rm -rf "$run_dir"
mkdir -p "$run_dir"
cp "$build_dir/app/Laurelight.exe" "$run_dir/"
cp -r demo/. "$run_dir/"
for asset in bin/adv.json bin/adv_back.png bin/adv_sound.wav; do
    [[ -e "$run_dir/$asset" ]] || echo "note: $asset is missing; the program falls back where it can"
done

# shellcheck source=scripts/wine_env.sh
source scripts/wine_env.sh
trap wine_env_stop EXIT
if [[ -z "${DISPLAY:-}" ]]; then
    wine_env_start_x
fi
echo "== wine prefix (about 20 s when new) on display $DISPLAY"
wine_env_make_prefix "$root/build/wine-prefix-run"
# The desktop settings apply to a wineserver started after they were written.
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p

cd "$run_dir"
wine Laurelight.exe &
laurelight=$!
sleep 5
echo "== starting Notepad"
wine notepad.exe &
sleep 4
import -window root "$run_dir/screenshot.png"
echo "== screenshot: $run_dir/screenshot.png"

# A plain taskkill asks the windows to close, so Laurelight shuts down as from its close box.
wine taskkill /im notepad.exe >/dev/null 2>&1 || true
wine taskkill /im Laurelight.exe >/dev/null 2>&1 || true
for _ in $(seq 50); do
    kill -0 "$laurelight" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$laurelight" 2>/dev/null; then
    # A message box (a configuration error, say) does not close on request.
    echo "== Laurelight did not close within 10 s; ending it"
    wine taskkill /f /im Laurelight.exe >/dev/null 2>&1 || true
fi
status=0
wait "$laurelight" || status=$?
echo "== Laurelight exited with code $status"
[[ -f adv_save.txt ]] && echo "== progress: $(tr -d '\r' <adv_save.txt | paste -sd ' ')"
exit "$status"
