#!/usr/bin/env bash
# Installs what building and testing Laurelight needs on Debian 12 (run as root).
# Quiet and quick when everything is already there.
set -euo pipefail

# Only 64-bit Wine: many kernels of build machines refuse 32-bit x86 programs, so nothing here
# may depend on the i386 architecture (scripts/wine starts the 64-bit loader). fonts-wine brings
# Marlett for the caption buttons and Tahoma's stand-ins. gstreamer1.0-plugins-good brings the
# MP3 decoder (mpg123) behind Wine's MPEG device.
packages=(
    cmake ninja-build g++ python3 git
    clang clang-format libclang-rt-14-dev
    googletest libgtest-dev libbenchmark-dev nlohmann-json3-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 fonts-wine fonts-liberation gstreamer1.0-plugins-good
    xvfb x11-utils fonts-wqy-microhei imagemagick
)
missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    # Where the i386 architecture is enabled, wine recommends the 32-bit loader; leave it out
    # unless the user has it already (their Wine stays as it is).
    not_wanted=()
    if dpkg --print-foreign-architectures | grep -qx i386 && ! dpkg -s wine32:i386 >/dev/null 2>&1; then
        not_wanted=(wine32:i386-)
    fi
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" "${not_wanted[@]}" >/dev/null
fi

# Every run proves the toolchain before anything long starts.
"$(dirname "$0")/check_toolchain.sh"
