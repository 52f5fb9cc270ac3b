#!/bin/bash
# `vornwave calibrate` of a 60 s 48 kHz 24-bit stereo file as a whole process (working
# copy, rebuild with the new calibration block, one rename) against `cp` of the same file
# in the same run; runs alternate, each calibrate run sets another value so that the
# block really changes. Then direct-mode WriteSample at 10,000 random frames against two
# seeks and two file calls (bench_wave_direct). Targets: calibrate <= 3x cp; the per-call
# time is reported with its ratio to the baseline.
#   bench/wave_calibrate.sh build/bench [runs]
set -euo pipefail
tree=${1:-build/bench}
runs=${RUNS:-15}
vornwave="$tree/tools/vornwave/vornwave"
direct="$tree/bench/bench_wave_direct"
for exe in "$vornwave" "$direct"; do [ -x "$exe" ] || { echo "missing $exe (make bench)"; exit 1; }; done
work="$tree/wave-calibrate-bench"
mkdir -p "$work"
sox -V1 -R -n -r 48000 -c 2 -b 24 -t wavpcm "$work/in.wav" synth 60 whitenoise vol 0.5
sox -V1 "$work/in.wav" -t raw "$work/in.raw"
/usr/bin/python3 - "$vornwave" "$work" "$runs" <<'PY'
import statistics, subprocess, sys, time
vornwave, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
src = f'{work}/in.wav'
times = {'vornwave calibrate': [], 'cp in.wav copy.wav': []}
def calibrate(i): return [vornwave, 'calibrate', '--channel', 'both', '--sensitivity', str(0.5 + i), src]
def cp(i): return ['cp', src, f'{work}/copy.wav']
subprocess.run(calibrate(-1), check=True, stdout=subprocess.DEVNULL)   # warm the page cache
subprocess.run(cp(0), check=True)
for i in range(runs):
    for name, command in (('vornwave calibrate', calibrate), ('cp in.wav copy.wav', cp)):
        t = time.perf_counter()
        subprocess.run(command(i), check=True, stdout=subprocess.DEVNULL)
        times[name].append(time.perf_counter() - t)
med = {name: statistics.median(v) * 1000 for name, v in times.items()}
for name, m in med.items():
    print(f'{name:20s} median {m:8.2f} ms  (min {min(times[name]) * 1000:.2f}, {runs} runs)')
print(f'ratio calibrate/cp: {med["vornwave calibrate"] / med["cp in.wav copy.wav"]:.2f} (target <= 3.00)')
PY
sox -V1 "$work/in.wav" -t raw "$work/out.raw"
cmp -s "$work/in.raw" "$work/out.raw" && echo "samples after $((runs + 1)) calibrations identical to the input"
"$direct" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=json 2>/dev/null |
/usr/bin/python3 -c '
import json, sys
rows = {b["run_name"].split("/")[0]: b["cpu_time"] for b in json.load(sys.stdin)["benchmarks"] if b["aggregate_name"] == "median"}
w, base = rows["BM_DirectWriteSample"], rows["BM_TwoSeeksTwoFileCalls"]
print(f"direct WriteSample      median {w / 1000:6.2f} us per call (CPU)")
print(f"two seeks + two calls   median {base / 1000:6.2f} us per call (CPU)")
print(f"ratio WriteSample/baseline: {w / base:.2f}")'
