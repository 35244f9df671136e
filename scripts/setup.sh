#!/usr/bin/env bash
# Installs what building and testing Laurelight needs on Debian 12 (run as root).
# Quiet and quick when everything is already there.
set -euo pipefail

# Wine's own fonts (fonts-wine: Marlett for the caption buttons, Tahoma's stand-ins) and its
# 32-bit loader come as recommendations and from the i386 architecture; the Wine tests were
# made with both, so a fresh machine gets the same.
packages=(
    cmake ninja-build g++ python3 git
    clang clang-format libclang-rt-14-dev
    googletest libgtest-dev libbenchmark-dev nlohmann-json3-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 wine32:i386 fonts-wine fonts-liberation
    xvfb x11-utils fonts-wqy-microhei imagemagick
)
missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
fi
