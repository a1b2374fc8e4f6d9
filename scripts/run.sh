#!/usr/bin/env bash
# Installs whatever the build needs and is missing, builds the program, and
# starts it. With no display (a server, a container) it runs on a virtual one
# (xvfb-run): nothing is seen, and Ctrl+C ends it.
#   scripts/run.sh
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build_dir="$here/../build"

"$here/setup.sh" "$build_dir"

program="$build_dir/bin/Z9Ostrik"

if [ -z "${DISPLAY:-}" ]; then
    echo "No display: starting the program on a virtual one (xvfb-run); Ctrl+C ends it."
    exec xvfb-run -a "$program"
fi

exec "$program"
