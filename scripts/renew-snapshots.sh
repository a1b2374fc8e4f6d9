#!/usr/bin/env bash
# Renews the reference pictures of the compared views (tests/snapshots/reference)
# from a build: builds the shell's tests, runs the view comparisons with
# Z9_RENEW_SNAPSHOTS=1 (they only write their pictures then) and replaces the
# references with the pictures written.
#   scripts/renew-snapshots.sh [build-dir]      (default: build)
# Look at the renewed pictures before committing them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$(cd "${1:-$root/build}" && pwd)"
references="$root/tests/snapshots/reference"
written="$build_dir/snapshots/compared"

cmake --build "$build_dir" -j"$(nproc)" --target z9_shell_tests

if [ -z "${DISPLAY:-}" ]; then
    source "$root/scripts/virtual-display.sh"
fi

rm -rf "$written"
Z9_RENEW_SNAPSHOTS=1 ctest --test-dir "$build_dir" -R '^Views/ViewSnapshotTest\.' -j"$(nproc)" \
    --output-on-failure --timeout 300

shopt -s nullglob
pictures=()
for f in "$written"/*.png; do
    case "$f" in
        *.diff.png|*.reference.png) ;;
        *) pictures+=("$f") ;;
    esac
done

if [ ${#pictures[@]} -eq 0 ]; then
    echo "No picture was written to $written: nothing renewed." >&2
    exit 1
fi

mkdir -p "$references"
rm -f "$references"/*.png
cp "${pictures[@]}" "$references/"

echo "Renewed ${#pictures[@]} reference pictures in $references:"
git -C "$root" status --short -- "$references" || true
