#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   scripts/test.sh [build-dir] [extra cmake arguments...]
# The windowed tests need a display: with none, a virtual one (Xvfb) serves
# the run and goes with it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build_dir="${1:-build}"
shift || true

"$here/setup.sh" "$build_dir" "$@"

if [ -z "${DISPLAY:-}" ]; then
    source "$here/virtual-display.sh"
fi

ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" --timeout 300
