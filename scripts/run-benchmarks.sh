#!/bin/bash
# Runs every benchmark script bench/*.sh (each prints its own table with ratios).
#   scripts/run-benchmarks.sh build/bench build/windows
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
for s in "$here"/bench/*.sh; do
    echo "== $(basename "$s")"
    bash "$s" "$@"
done
