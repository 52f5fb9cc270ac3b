#!/bin/bash
# Runs every libFuzzer target of the fuzz tree for a fixed time on its seed corpus.
#   scripts/run-fuzzers.sh build/fuzz 60
set -euo pipefail
tree=${1:-build/fuzz}
seconds=${2:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
targets=("$tree"/fuzz/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
    echo "no fuzz targets built"
    exit 0
fi
for t in "${targets[@]}"; do
    [ -x "$t" ] || continue
    name=$(basename "$t")
    seeds="$here/fuzz/corpus/${name#fuzz_}"
    work="$tree/corpus-run/$name"
    mkdir -p "$work"
    echo "== $name: ${seconds}s"
    "$t" -max_total_time="$seconds" -print_final_stats=1 "$work" ${seeds:+$( [ -d "$seeds" ] && echo "$seeds")} 2>&1 \
        | grep -E '^(#[0-9]+ *DONE|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY)' || true
    test "${PIPESTATUS[0]}" -eq 0
done
