# Sourced: starts a virtual X display for this shell and its children, and
# stops it when the shell exits. Xvfb picks a free display number itself
# (-displayfd), so runs that start together never share or steal one. It runs
# in a session of its own, so Ctrl+C reaches only what runs on it (the program
# saves its settings and ends), and the display goes after.
z9_display_file="$(mktemp)"
setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$z9_display_file" >/dev/null 2>&1 &
z9_xvfb_pid=$!
trap 'kill "$z9_xvfb_pid" 2>/dev/null || true; rm -f "$z9_display_file"' EXIT

for _ in $(seq 1 100); do
    [ -s "$z9_display_file" ] && break
    kill -0 "$z9_xvfb_pid" 2>/dev/null || break
    sleep 0.1
done

if [ ! -s "$z9_display_file" ]; then
    echo "Could not start a virtual display (Xvfb)" >&2
    exit 1
fi

export DISPLAY=":$(head -n 1 "$z9_display_file")"
