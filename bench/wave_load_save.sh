#!/bin/bash
# Load + Save of a 60 s 48 kHz 16-bit stereo noise file by our wave file class, as a
# whole process, against `sox in.wav out.wav` on the same file in the same run.
# Runs alternate between the two; prints the medians and their ratio (target <= 1.5).
#   bench/wave_load_save.sh build/bench [runs]
set -euo pipefail
tree=${1:-build/bench}
runs=${RUNS:-21}
exe="$tree/bench/bench_wave_load_save"
[ -x "$exe" ] || { echo "missing $exe (make bench)"; exit 1; }
work="$tree/wave-bench"
mkdir -p "$work"
sox -V1 -R -n -r 48000 -c 2 -b 16 "$work/in.wav" synth 60 whitenoise vol 0.5
/usr/bin/python3 - "$exe" "$work" "$runs" <<'PY'
import statistics, subprocess, sys, time
exe, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
src = f'{work}/in.wav'
commands = {
    'vorn Load+Save': [exe, src, f'{work}/out-vorn.wav'],
    'sox in.wav out.wav': ['sox', src, f'{work}/out-sox.wav'],
}
times = {name: [] for name in commands}
for name, cmd in commands.items():          # warm the page cache and both programs
    subprocess.run(cmd, check=True)
for _ in range(runs):
    for name, cmd in commands.items():
        t = time.perf_counter()
        subprocess.run(cmd, check=True)
        times[name].append(time.perf_counter() - t)
med = {name: statistics.median(v) * 1000 for name, v in times.items()}
for name, m in med.items():
    print(f'{name:22s} median {m:8.2f} ms  (min {min(times[name]) * 1000:.2f}, {runs} runs)')
ratio = med['vorn Load+Save'] / med['sox in.wav out.wav']
print(f'ratio vorn/sox: {ratio:.2f} (target <= 1.50)')
PY
cmp -s <(tail -c +45 "$work/out-vorn.wav") <(tail -c +45 "$work/in.wav") && echo "output samples identical to input"
