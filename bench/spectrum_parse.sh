#!/bin/bash
# Parsing both full spectrum replies (16384 rows of 80 bytes) plus the sums, natively
# and in the Windows build under Wine; the Windows figure is the one that counts
# (limit 5 ms for parse_and_sum_16384_rows).
#   bench/spectrum_parse.sh [bench tree] [windows tree]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bench=${1:-$here/build/bench}
windows=${2:-$here/build/windows}
samples=${SAMPLES:-15}
case "$bench" in /*) ;; *) bench=$PWD/$bench ;; esac
case "$windows" in /*) ;; *) windows=$PWD/$windows ;; esac

if [ ! -f "$bench/build.ninja" ]; then
    cmake -S "$here" -B "$bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BENCH=ON -DVORN_TESTS=OFF >/dev/null
fi
cmake --build "$bench" --target bench_spectrum_parse >/dev/null
# The Windows tree's program times itself (there is no Google Benchmark for MinGW).
cmake --build "$windows" --target bench_spectrum_parse >/dev/null

echo "-- native"
"$bench/bench/bench_spectrum_parse" --median "$samples"
echo "-- Windows build under Wine"
WINEPREFIX="$windows/wineprefix" "$here/scripts/wine-session.sh" \
    wine "$windows/bench/bench_spectrum_parse.exe" --median "$samples" 2>/dev/null | tr -d '\r'
