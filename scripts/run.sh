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

# The virtual display runs in a session of its own, so that Ctrl+C reaches
# only the program: it saves its settings and ends, and then the display goes.
echo "No display: starting the program on a virtual one (Xvfb); Ctrl+C ends it."
display_file="$(mktemp)"
setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -f "$display_file"' EXIT

for _ in $(seq 1 100); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done

if [ ! -s "$display_file" ]; then
    echo "Could not start a virtual display (Xvfb)" >&2
    exit 1
fi

DISPLAY=":$(head -n 1 "$display_file")" "$program"
