#!/bin/bash
# The Corwith Number over DDE at 16384 rows per item, under Wine, against the
# substitute analyzer; budget: 200 ms median.
#   bench/corwith_dde.sh <bench tree> <windows tree>
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
windows=${2:-build/windows}
case "$windows" in /*) ;; *) windows="$here/$windows" ;; esac
bench="$windows/bench/bench_corwith_dde.exe"
sim="$windows/simulator/VornAnalyzerSim.exe"
if [ ! -f "$bench" ] || [ ! -f "$sim" ]; then
    echo "corwith_dde: build the Windows tree first (make windows)"; exit 0
fi
run() { "$here/cmake/wine-run.sh" "$bench" "Z:$(echo "$sim" | tr / '\\')" 21; }
if [ -n "${VORN_IN_WINE_SESSION:-}" ]; then
    out=$(run)
else
    export WINEPREFIX="${WINEPREFIX:-$windows/wineprefix}"
    out=$(VORN_IN_WINE_SESSION=1 "$here/scripts/wine-session.sh" "$0" "$@")
    echo "$out"; exit 0
fi
echo "$out"
median=$(echo "$out" | sed -n 's/.*median_ms=\([0-9.]*\).*/\1/p')
awk -v m="$median" 'BEGIN { printf "corwith_dde: median %.1f ms, budget 200 ms, ratio %.2f -> %s\n", m, m / 200, (m <= 200 ? "ok" : "OVER BUDGET") }'
