#!/bin/bash
# Runs every libFuzzer target of the fuzz tree for a fixed time on its seed corpus.
#   scripts/run-fuzzers.sh build/fuzz 60
# A crash, a leak report, a slow input (over 10 s) or a target that did not build fails
# the run; the reproducer libFuzzer wrote is named in the output. Every target runs even
# after one has failed, so one run shows all findings.
set -uo pipefail
tree=${1:-build/fuzz}
seconds=${2:-60}
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

failed=()
for name in "${expected[@]}"; do
    t="$tree/fuzz/$name"
    if [ ! -x "$t" ]; then
        echo "== $name: not built ($t)" >&2
        failed+=("$name (not built)")
        continue
    fi
    seeds="$here/fuzz/corpus/${name#fuzz_}"
    work="$tree/corpus-run/$name"
    artifacts="$tree/artifacts/$name"
    log="$tree/logs/$name.log"
    rm -rf "$artifacts"
    mkdir -p "$work" "$artifacts" "$(dirname "$log")"
    corpora=("$work")
    [ -d "$seeds" ] && corpora+=("$seeds")
    echo "== $name: ${seconds}s"
    "$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
         -artifact_prefix="$artifacts/" "${corpora[@]}" > "$log" 2>&1
    status=$?
    grep -E '^(#[0-9]+ *DONE|stat::number_of_executed_units)' "$log"
    if [ $status -ne 0 ]; then
        echo "!! $name failed with status $status; its log: $log" >&2
        grep -E '==[0-9]+==(ERROR|WARNING)|^SUMMARY|ALARM|Test unit written to|deadly signal' "$log" >&2
        for a in "$artifacts"/*; do
            echo "!! reproducer: $a  (rerun: $t $a)" >&2
        done
        failed+=("$name")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzzing failed: ${failed[*]}" >&2
    exit 1
fi
echo "fuzzing: ${#expected[@]} targets, no findings"
