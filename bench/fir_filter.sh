#!/bin/bash
# FIR filter speed: the probe-tone band-stop (999 taps) over channel 0 of 60 s of 48 kHz
# noise in one-second blocks, with the plain scalar loop (-O2), SSE2 and AVX2 kernels,
# against scipy.signal.lfilter with the same taps on the same samples.
#   bench/fir_filter.sh build/bench
set -euo pipefail
tree=${1:-build/bench}
exe="$tree/bench/bench_fir_filter"
if [ ! -x "$exe" ]; then
    echo "fir_filter: $exe is not built" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

grep -q -w avx2 /proc/cpuinfo && echo "CPU has AVX2" || echo "CPU has no AVX2 (AVX2 row skipped)"
"$exe" --export="$work" --benchmark_out="$work/bench.json" --benchmark_out_format=json \
       --benchmark_report_aggregates_only=true

/usr/bin/python3 - "$work" <<'PY'
import json, sys, timeit
import numpy as np
from scipy.signal import lfilter

work = sys.argv[1]
taps = np.fromfile(f"{work}/taps.f32", dtype=np.float32).astype(np.float64)
x = np.fromfile(f"{work}/channel0.i16", dtype=np.int16).astype(np.float64)
runs = [timeit.timeit(lambda: lfilter(taps, 1.0, x), number=1) for _ in range(5)]
lfilter_ms = float(np.median(runs)) * 1000

medians = {}
for b in json.load(open(f"{work}/bench.json"))["benchmarks"]:
    if b.get("aggregate_name") == "median" and not b.get("error_occurred"):
        medians[b["run_name"]] = b["real_time"]  # milliseconds

rows = [("scipy.signal.lfilter", lfilter_ms)]
names = {"BM_ScalarO2": "scalar loop (-O2)", "BM_Sse2": "SSE2 kernel", "BM_Avx2": "AVX2 kernel"}
for key, label in names.items():
    if key in medians:
        rows.append((label, medians[key]))
scalar = medians.get("BM_ScalarO2")
print(f"\n{len(x)} samples, {len(taps)} taps, medians")
print(f"{'':24} {'ms':>10} {'vs lfilter':>11} {'vs scalar':>10}")
for label, ms in rows:
    vs_scalar = f"{scalar / ms:9.2f}x" if scalar else ""
    print(f"{label:24} {ms:10.1f} {lfilter_ms / ms:10.2f}x {vs_scalar:>10}")
targets = [("SSE2 >= 4x lfilter", "BM_Sse2", lfilter_ms, 4), ("SSE2 >= 4x scalar", "BM_Sse2", scalar, 4),
           ("AVX2 >= 8x lfilter", "BM_Avx2", lfilter_ms, 8)]
for text, key, base, want in targets:
    if key in medians and base:
        ratio = base / medians[key]
        print(f"{text:24} {ratio:6.2f}x  {'met' if ratio >= want else 'NOT MET'}")
PY
