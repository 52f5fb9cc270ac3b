#!/bin/bash
# Runs every libFuzzer target of the fuzz tree for a fixed time on its seed corpus,
# FUZZ_JOBS (default 2) targets at a time; each keeps its full time.
#   scripts/run-fuzzers.sh build/fuzz 60
# A crash, a leak report, a slow input (over 10 s) or a target that did not build fails
# the run; the reproducer libFuzzer wrote is named in the output. Every target runs even
# after one has failed, so one run shows all findings. A target's lines are printed
# together when it ends, so targets running side by side do not mix their output.
set -uo pipefail
tree=${1:-build/fuzz}
seconds=${2:-60}
jobs=${FUZZ_JOBS:-2}
here=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob

expected=()
for src in "$here"/fuzz/fuzz_*.cpp; do
    expected+=("$(basename "$src" .cpp)")
done
if [ ${#expected[@]} -eq 0 ]; then
    echo "no fuzz targets in $here/fuzz" >&2
    exit 1
fi

results="$tree/results"
rm -rf "$results"
mkdir -p "$results" "$tree/logs"

# fuzz_one NAME: runs one target; its report goes to stdout and stderr in one piece at
# the end (under a lock), and a file results/NAME.failed marks a failure.
fuzz_one() {
    local name=$1 t="$tree/fuzz/$1" out="$results/$1.out" err="$results/$1.err"
    local seeds="$here/fuzz/corpus/${name#fuzz_}" work="$tree/corpus-run/$name"
    local artifacts="$tree/artifacts/$name" log="$tree/logs/$name.log" status
    if [ ! -x "$t" ]; then
        echo "== $name: not built ($t)" > "$err"
        echo "$name (not built)" > "$results/$name.failed"
    else
        rm -rf "$artifacts"
        mkdir -p "$work" "$artifacts"
        local corpora=("$work")
        [ -d "$seeds" ] && corpora+=("$seeds")
        "$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
             -artifact_prefix="$artifacts/" "${corpora[@]}" > "$log" 2>&1
        status=$?
        {
            echo "== $name: ${seconds}s"
            grep -E '^(#[0-9]+ *DONE|stat::number_of_executed_units)' "$log"
        } > "$out"
        if [ $status -ne 0 ]; then
            {
                echo "!! $name failed with status $status; its log: $log"
                grep -E '==[0-9]+==(ERROR|WARNING)|^SUMMARY|ALARM|Test unit written to|deadly signal' "$log"
                for a in "$artifacts"/*; do
                    echo "!! reproducer: $a  (rerun: $t $a)"
                done
            } > "$err"
            echo "$name" > "$results/$name.failed"
        fi
    fi
    (
        flock 9
        [ -f "$out" ] && cat "$out"
        [ -f "$err" ] && cat "$err" >&2
    ) 9> "$results/print.lock"
}

running=0
for name in "${expected[@]}"; do
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
    fuzz_one "$name" &
    running=$((running + 1))
done
wait

failed=()
for name in "${expected[@]}"; do
    [ -f "$results/$name.failed" ] && failed+=("$(cat "$results/$name.failed")")
done
if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzzing failed: ${failed[*]}" >&2
    exit 1
fi
echo "fuzzing: ${#expected[@]} targets, no findings"
