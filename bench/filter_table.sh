#!/bin/bash
# The response-table filter: DesignFromTable at 999 taps (target at most 5 ms), and
# `vornwave filter --table` against `vornwave filter --bandstop` with the same 999 taps on
# 60 s of 48 kHz stereo noise, alternating in one run (target: table within 1.2x).
#   bench/filter_table.sh [bench tree]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$here/build/bench}
runs=${RUNS:-5}
if [ ! -f "$tree/build.ninja" ]; then
    cmake -S "$here" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BENCH=ON -DVORN_TESTS=OFF >/dev/null
fi
cmake --build "$tree" --target bench_table_design vornwave >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$tree/bench/bench_table_design" --benchmark_out="$work/design.json" --benchmark_out_format=json \
    --benchmark_report_aggregates_only=true >/dev/null 2>&1
sox -n -r 48000 -b 16 -c 2 -t wavpcm "$work/in.wav" synth 60 pinknoise gain -10 2>/dev/null
printf '; a transducer compensation curve\n20\t-1\n200\t0\n1000\t2\n3000\t-1\n8000\t1\n16000\t-3\n24000\t-6\n' \
    > "$work/curve.txt"

/usr/bin/python3 - "$work" "$tree/tools/vornwave/vornwave" "$runs" <<'PY'
import json, os, resource, subprocess, sys, time
work, exe, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
design = {b["run_name"].split("/")[0]: b for b in json.load(open(f"{work}/design.json"))["benchmarks"]
          if b.get("aggregate_name") == "median"}
commands = {"--table": ["--table", f"{work}/curve.txt"], "--bandstop": ["--bandstop", "1000", "150"]}
times = {k: [] for k in commands}
def child_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime
for _ in range(runs):
    for name, options in commands.items():
        out = f"{work}/out.wav"
        if os.path.exists(out): os.remove(out)
        w0, c0 = time.perf_counter(), child_cpu()
        subprocess.run([exe, "filter", *options, "--taps", "999", f"{work}/in.wav", out], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times[name].append((time.perf_counter() - w0, child_cpu() - c0))
med = lambda v: sorted(v)[len(v) // 2]
print("DesignFromTable, 999 taps, 48 kHz; medians of 11")
for key, label in (("BM_DesignFromTable", "table design"), ("BM_WindowDesignBandstop", "window design (band-stop)")):
    if key in design:
        print(f"  {label:28} {design[key]['real_time'] / 1000:7.3f} ms wall {design[key]['cpu_time'] / 1000:7.3f} ms cpu")
print(f"\nvornwave filter, 999 taps, 60 s of 48 kHz stereo (both channels); medians of {runs}")
rows = {k: (med([w for w, _ in v]), med([c for _, c in v])) for k, v in times.items()}
for k, (w, c) in rows.items():
    print(f"  {k:12} {w * 1000:9.1f} ms wall {c * 1000:9.1f} ms cpu")
print()
if "BM_DesignFromTable" in design:
    ms = design["BM_DesignFromTable"]["cpu_time"] / 1000
    print(f"target DesignFromTable <= 5 ms: {ms:.3f} ms cpu  {'met' if ms <= 5 else 'NOT MET'}")
ratio = rows["--table"][1] / rows["--bandstop"][1]
print(f"target --table vs --bandstop <= 1.2x: {ratio:.3f}x cpu ({rows['--table'][0] / rows['--bandstop'][0]:.3f}x wall)"
      f"  {'met' if ratio <= 1.2 else 'NOT MET'}")
PY
