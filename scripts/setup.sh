#!/usr/bin/env bash
# Installs, on Debian 12, whatever the build needs and is missing, then
# configures and builds into the given build folder (default: build).
#   scripts/setup.sh [build-dir] [extra cmake arguments...]
# Z9_BUILD_TARGETS="a b" builds only those targets (default: everything).
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    juce-modules-source
    libasound2-dev libcurl4-openssl-dev libfreetype-dev
    libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxext-dev
    libpng-dev libjpeg-dev libturbojpeg0-dev zlib1g-dev
    # fonts-dejavu-core: the only fonts the tests draw with, so that their
    # pictures come out alike on every machine (tests/CMakeLists.txt)
    fontconfig-config fonts-dejavu-core
    libexpat1-dev
    clang libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build_dir="${1:-build}"
shift || true

cmake -S "$(dirname "$0")/.." -B "$build_dir" -DCMAKE_BUILD_TYPE=Release "$@"
targets=()
for t in ${Z9_BUILD_TARGETS:-}; do
    targets+=(--target "$t")
done
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
