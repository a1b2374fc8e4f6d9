#!/usr/bin/env bash
# Installs whatever the build needs and is missing, builds the program, and
# starts it. With no display (a server, a container) it runs on a virtual one
# (Xvfb): nothing is seen, and Ctrl+C ends it.
#   scripts/run.sh
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build_dir="$here/../build"

"$here/setup.sh" "$build_dir"

program="$build_dir/bin/Z9Ostrik"

if [ -n "${DISPLAY:-}" ]; then
    exec "$program"
fi

echo "No display: starting the program on a virtual one (Xvfb); Ctrl+C ends it."
source "$here/virtual-display.sh"
"$program"
