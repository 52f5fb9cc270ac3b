#!/bin/bash
# Batches on every core: `vornwave probe`, `filter` and `calibrate` over 16 files of 60 s of
# 48 kHz 16-bit stereo noise, one file at a time (-j 1) against the default (one per core),
# alternating in one run. Here wall time is the point (run it on a quiet machine); CPU time
# is shown beside it. Target: the default at least 1.8x faster than -j 1 on two cores, and
# every output identical.
#   bench/batch.sh [bench tree]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$here/build/bench}
runs=${RUNS:-5}
exe="$tree/tools/vornwave/vornwave"
[ -x "$exe" ] || { echo "batch: missing $exe (make bench)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in"
for i in $(seq -w 1 16); do
    sox -V1 -R -n -r 48000 -c 2 -b 16 -t wavpcm "$work/in/n$i.wav" synth 60 whitenoise vol 0.$((10#$i % 9 + 1))
done
echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"

/usr/bin/python3 - "$exe" "$work" "$runs" <<'PY'
import filecmp, glob, os, resource, shutil, statistics, subprocess, sys, time
exe, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
inputs = sorted(glob.glob(f"{work}/in/*.wav"))
commands = {
    "probe": lambda out: ["probe", "--freq", "1000", "--level", "-20", "--out-dir", out, *inputs],
    "filter": lambda out: ["filter", "--bandstop", "1000", "150", "--out-dir", out, *inputs],
    "calibrate": lambda out: ["calibrate", "--channel", "both", "--name", "mic", *sorted(glob.glob(f"{out}/*.wav"))],
}
def children_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime
wall = {(c, j): [] for c in commands for j in ("1", "default")}
cpu = {k: [] for k in wall}
same = True
for run in range(runs):
    for name, make in commands.items():
        outs = {}
        for j in ("1", "default"):
            out = f"{work}/{name}-{j}"
            shutil.rmtree(out, ignore_errors=True)
            if name == "calibrate":
                shutil.copytree(f"{work}/in", out)  # rewritten in place: a fresh copy each time
            else:
                os.mkdir(out)
            jobs = ["-j", "1"] if j == "1" else []
            # The earlier runs' outputs (and the inputs) are written back to the disk some
            # 30 s after they were written, by kernel threads: a run that meets that work
            # with every core busy pays for it. Each run starts with nothing left to write.
            os.sync()
            t, c = time.perf_counter(), children_cpu()
            subprocess.run([exe, make(out)[0], *jobs, *make(out)[1:]], check=True, stdout=subprocess.DEVNULL)
            wall[(name, j)].append(time.perf_counter() - t)
            cpu[(name, j)].append(children_cpu() - c)
            outs[j] = out
        names = sorted(os.listdir(outs["1"]))
        match, differ, errors = filecmp.cmpfiles(outs["1"], outs["default"], names, shallow=False)
        same = same and len(match) == len(inputs) == len(names) and sorted(os.listdir(outs["default"])) == names
print(f"\nvornwave on 16 files of 60 s, 48 kHz 16-bit stereo; medians of {runs}")
print(f"{'':12s} {'-j 1 wall':>10s} {'default wall':>13s} {'-j 1 cpu':>10s} {'default cpu':>12s} {'speedup':>8s}")
results = {}
for name in commands:
    w1, wd = (statistics.median(wall[(name, j)]) for j in ("1", "default"))
    c1, cd = (statistics.median(cpu[(name, j)]) for j in ("1", "default"))
    results[name] = w1 / wd
    print(f"{name:12s} {w1 * 1000:9.0f}ms {wd * 1000:12.0f}ms {c1 * 1000:9.0f}ms {cd * 1000:11.0f}ms {w1 / wd:7.2f}x")
print()
cores = os.cpu_count() or 1
want = 1.8 if cores >= 2 else 1.0
for name, speedup in results.items():
    if name == "calibrate":  # a few kilobytes per file: process start and file system, no target
        print(f"calibrate speedup {speedup:.2f}x wall (no target)")
        continue
    print(f"target {name} default vs -j 1 >= {want}x wall ({cores} cores): {speedup:5.2f}x  {'met' if speedup >= want else 'NOT MET'}")
print(f"outputs of the default {'identical to' if same else 'DIFFER FROM'} -j 1's")
PY
