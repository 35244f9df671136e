#!/usr/bin/env bash
# Proves in well under a minute that the Windows toolchain works, before any long build:
# MinGW builds and links a tiny console program, 64-bit Wine runs it in a throwaway prefix
# and it prints what it should, and Xvfb starts and stops. On failure it says in one line
# what is wrong and what to do, and exits non-zero.
set -uo pipefail
cd "$(dirname "$0")/.."

fail() {
    echo "toolchain check: $*" >&2
    exit 1
}

work=$(mktemp -d)
# shellcheck source=scripts/wine_env.sh
source scripts/wine_env.sh
cleanup() {
    WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null
    WINEPREFIX="$work/prefix" timeout 20 "$WINE_ENV_SCRIPTS/wine" --server -w 2>/dev/null
    wine_env_stop
    rm -rf "$work"
}
trap cleanup EXIT

expected="laurelight toolchain ok"
cat >"$work/hello.cpp" <<CPP
#include <windows.h>
#include <cstdio>
int main() {
    std::printf("%s %lu\n", "$expected", static_cast<unsigned long>(sizeof(void*) * 8));
    return GetCurrentProcessId() != 0 ? 0 : 1;
}
CPP
compiler=x86_64-w64-mingw32-g++-posix
command -v "$compiler" >/dev/null ||
    fail "$compiler is missing: run scripts/setup.sh (it installs g++-mingw-w64-x86-64-posix)"
"$compiler" -static -O1 -o "$work/hello.exe" "$work/hello.cpp" 2>"$work/compile.log" ||
    fail "MinGW cannot build a Windows program ($(head -n 1 "$work/compile.log")): reinstall g++-mingw-w64-x86-64-posix"

source scripts/wine_loader.conf
[[ -x "$WINELOADER" ]] || fail "the 64-bit Wine loader $WINELOADER is missing: apt-get install wine64"
# Output goes to a file, not a pipe: Wine's first program starts services that keep
# inherited pipes open long after it ends.
WINEPREFIX="$work/prefix" timeout 120 "$WINELOADER" "$work/hello.exe" >"$work/out.txt" 2>"$work/err.txt"
status=$?
if ! tr -d "\r" <"$work/out.txt" | grep -qx "$expected 64"; then
    reason=$(grep -v '^$' "$work/err.txt" | head -n 1)
    fail "Wine could not run a 64-bit Windows program (exit $status${reason:+: $reason}): check that $WINELOADER runs on this kernel and reinstall wine64"
fi

wine_env_start_x >/dev/null 2>&1 ||
    fail "Xvfb does not start: apt-get install xvfb, and check that /tmp/.X11-unix is writable"
wine_env_stop
echo "toolchain check: MinGW, 64-bit Wine and Xvfb work"
