#!/usr/bin/env bash
# Runs the whole test suite N times in a row, each time with twice as many
# parallel jobs as the machine has cores (a busy machine, as CI's), and says
# how many runs failed and which tests failed how often. The build folder must
# be built already (scripts/setup.sh [build-dir] ...).
#   scripts/stress-tests.sh N [build-dir]
# Exits non-zero when any run failed. Each failed run's output is kept in
# <build-dir>/stress-logs/.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

runs="${1:?usage: scripts/stress-tests.sh N [build-dir]}"
build_dir="${2:-build}"
jobs=$(( 2 * $(nproc) ))

if ! [[ "$runs" =~ ^[0-9]+$ ]] || [ "$runs" -lt 1 ]; then
    echo "N must be a positive number, not '$runs'" >&2
    exit 2
fi

if [ ! -f "$build_dir/CTestTestfile.cmake" ]; then
    echo "No test suite in '$build_dir': build it first (scripts/setup.sh $build_dir)" >&2
    exit 2
fi

# The windowed tests need a display: with none, one virtual display serves
# every run.
if [ -z "${DISPLAY:-}" ]; then
    source "$here/virtual-display.sh"
fi

logs="$build_dir/stress-logs"
rm -rf "$logs"
mkdir -p "$logs"
failed_list="$build_dir/Testing/Temporary/LastTestsFailed.log"
failures="$logs/failed-tests.txt"
: > "$failures"

failed_runs=0
start=$(date +%s)

for (( i = 1; i <= runs; ++i )); do
    rm -f "$failed_list"
    run_start=$(date +%s)

    if ctest --test-dir "$build_dir" -j"$jobs" --timeout 300 --output-on-failure > "$logs/run-$i.log" 2>&1; then
        echo "run $i/$runs: passed ($(( $(date +%s) - run_start )) s)"
        rm -f "$logs/run-$i.log"
    else
        failed_runs=$(( failed_runs + 1 ))
        # Lines look like "17:SyncTimerTest.AFailedSendWaitsForTheSlotsNextChange".
        names=$( [ -f "$failed_list" ] && cut -d: -f2- "$failed_list" || echo "(ctest itself failed, see $logs/run-$i.log)" )
        echo "$names" >> "$failures"
        echo "run $i/$runs: FAILED ($(( $(date +%s) - run_start )) s): $(echo "$names" | tr '\n' ' ')"
    fi
done

echo
echo "$failed_runs of $runs runs failed (-j$jobs, $(( $(date +%s) - start )) s in all)"

if [ "$failed_runs" -gt 0 ]; then
    echo "Failed tests (failures, name):"
    sort "$failures" | uniq -c | sort -rn
    echo "Output of the failed runs: $logs/"
    exit 1
fi
