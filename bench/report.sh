#!/bin/bash
# vornwave report on a 100,000-row journal as a whole process (target: at most 1 s and a
# report under 20 MB), and the cost of one journal row appended and flushed to the disk.
#   bench/report.sh [bench tree]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bench=${1:-$here/build/bench}
runs=${RUNS:-7}
case "$bench" in /*) ;; *) bench=$PWD/$bench ;; esac
if [ ! -f "$bench/build.ninja" ]; then
    cmake -S "$here" -B "$bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BENCH=ON -DVORN_TESTS=OFF >/dev/null
fi
cmake --build "$bench" --target vornwave bench_journal >/dev/null
work="$bench/report-bench"
mkdir -p "$work"
python3 "$here/bench/make_journal.py" "$work/Results.csv" 100000
/usr/bin/python3 - "$bench/tools/vornwave/vornwave" "$work" "$runs" <<'PY'
import os, resource, statistics, subprocess, sys, time
exe, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
cmd = [exe, 'report', f'{work}/Results.csv', '-o', f'{work}/report.html']
subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
# Wall time, and the CPU time of the process (user + system), which a busy machine
# disturbs less.
times, cpu = [], []
for _ in range(runs):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    t = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    times.append(time.perf_counter() - t)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
size = os.path.getsize(f'{work}/report.html') / 1e6
print(f'vornwave report, 100000 rows: median {statistics.median(times) * 1000:.0f} ms '
      f'(min {min(times) * 1000:.0f}, {runs} runs; target <= 1000 ms), CPU time median '
      f'{statistics.median(cpu) * 1000:.0f} ms, report {size:.1f} MB (target < 20 MB)')
PY
"$bench/bench/bench_journal" --median "${SAMPLES:-9}"
