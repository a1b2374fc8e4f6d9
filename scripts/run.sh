#!/usr/bin/env bash
# Installs whatever the build needs and is missing, builds the program alone
# (no tests, benchmarks or fuzz targets) into build-run/, and starts it. With
# no display (a server, a container) it runs on a virtual one (Xvfb): nothing
# is seen, and Ctrl+C ends it.
#   scripts/run.sh
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build_dir="$here/../build-run"

Z9_BUILD_TARGETS=Z9Ostrik "$here/setup.sh" "$build_dir" -DZ9_BUILD_TESTS=OFF -DZ9_BUILD_BENCH=OFF

program="$build_dir/bin/Z9Ostrik"

if [ -n "${DISPLAY:-}" ]; then
    exec "$program"
fi

echo "No display: starting the program on a virtual one (Xvfb); Ctrl+C ends it."
source "$here/virtual-display.sh"
"$program"
