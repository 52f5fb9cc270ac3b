#!/bin/bash
# The probe-tone tool as a whole process: `vornwave probe` on 60 s of 48 kHz 16-bit stereo
# pink noise (load, 999-tap notch and tone on channel 0, safe save), natively as it stands
# (the FIR filter's FFT path, the best direct kernel for short blocks), natively with the SSE2
# kernel forced (VORN_FIR_KERNEL=sse2) and the Windows build under Wine, against the
# independent numpy/scipy reference program doing the same job, and against sox cutting the
# same notch with its 999-tap sinc filter (the closest sox command; sox filters both channels
# and adds no tone), and each build's start-up alone (--version), in the same run. Natively
# the sample buffers sit on 2 MB pages; a Windows process gets 4 KB pages, which cost far
# more per byte on a virtual machine, so the native build also runs with huge pages turned
# off for it (prctl PR_SET_THP_DISABLE, inherited across exec) to show what of the Wine ratio
# is Wine and what is page size. Runs alternate; medians of CPU time (the machine may be
# shared, so the targets are judged on it) with wall time beside it. Every output must equal
# the reference.
#   bench/probe_tone.sh build/bench build/windows
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-build/bench}
windows=${2:-build/windows}
runs=${RUNS:-7}
exe="$tree/tools/vornwave/vornwave"
wexe="$windows/tools/vornwave/vornwave.exe"
[ -x "$exe" ] || { echo "missing $exe (make bench)"; exit 1; }
[ -f "$wexe" ] || { echo "missing $wexe (make windows)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox -V1 -R -n -r 48000 -c 2 -b 16 -t wavpcm "$work/in.wav" synth 60 pinknoise vol 0.5
echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
grep -q -w avx2 /proc/cpuinfo && echo "CPU has AVX2" || echo "CPU has no AVX2: the native row runs SSE2 too"
grep -q -w avx512f /proc/cpuinfo && echo "CPU has AVX-512" || echo "CPU has no AVX-512"

WINEPREFIX="$(cd "$windows" && pwd)/wineprefix" "$here/scripts/wine-session.sh" \
    /usr/bin/python3 - "$here" "$exe" "$wexe" "$work" "$runs" <<'PY'
import filecmp, os, resource, statistics, subprocess, sys, time
here, exe, wexe, work, runs = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], int(sys.argv[5])
src = f"{work}/in.wav"
args = ["probe", "--freq", "226.7", "--level", "-12", "--force", src]
sox = ["sox", src, f"{work}/sox.wav", "sinc", "-n", "999", "301.7-151.7"]
# Runs the rest of the command line with transparent huge pages turned off for it.
small_pages = ["/usr/bin/python3", "-c", "import ctypes, os, sys\n"
               "if ctypes.CDLL(None).prctl(41, 1, 0, 0, 0): sys.exit('prctl failed')\n"
               "os.execv(sys.argv[1], sys.argv[1:])"]
print("sox command:", " ".join(sox).replace(work, "$work"))
jobs = {
    "vornwave": ([exe, *args, f"{work}/native.wav"], {}),
    "vornwave (SSE2 forced)": ([exe, *args, f"{work}/sse2.wav"], {"VORN_FIR_KERNEL": "sse2"}),
    "vornwave, 4 KB pages": ([*small_pages, exe, *args, f"{work}/small.wav"], {}),
    "vornwave.exe under Wine": ([f"{here}/cmake/wine-run.sh", wexe, *args, f"{work}/wine.wav"], {}),
    "numpy/scipy reference": (["/usr/bin/python3", f"{here}/tests/probe/probe_tone_reference.py", "226.7", "-12",
                               src, f"{work}/reference.wav"], {}),
    "sox sinc -n 999 notch": (sox, {}),
    # Start-up alone, to tell Wine's own cost per process from the work's.
    "vornwave --version": ([exe, "--version"], {}),
    "vornwave.exe --version": ([f"{here}/cmake/wine-run.sh", wexe, "--version"], {}),
    "vornwave --version, 4 KB": ([*small_pages, exe, "--version"], {}),
}
times = {name: [] for name in jobs}
cpu = {name: [] for name in jobs}
def children_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime
def run(name):
    cmd, env = jobs[name]
    t, c = time.perf_counter(), children_cpu()
    subprocess.run(cmd, check=True, env={**os.environ, **env}, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    times[name].append(time.perf_counter() - t)
    cpu[name].append(children_cpu() - c)
for name in jobs:                                   # warm the page cache and Wine
    run(name)
    times[name].clear()
    cpu[name].clear()
for i in range(runs):
    for name in jobs:
        if name != "numpy/scipy reference" or i < 3:  # the reference is slow; three runs
            run(name)
med = {name: statistics.median(v) * 1000 for name, v in cpu.items()}
wall = {name: statistics.median(v) * 1000 for name, v in times.items()}
print(f"\nvornwave probe, 60 s 48 kHz 16-bit stereo, whole process; medians")
print(f"{'':26s} {'cpu ms':>9s} {'wall ms':>9s}")
for name, m in med.items():
    print(f"{name:26s} {m:9.1f} {wall[name]:9.1f}  ({len(times[name])} runs)")
ref = med["numpy/scipy reference"]
print()
for text, ratio, want, better in [
        ("native vs reference", ref / med["vornwave"], 5.0, True),
        ("SSE2 vs reference", ref / med["vornwave (SSE2 forced)"], 3.0, True),
        ("Wine vs native", med["vornwave.exe under Wine"] / med["vornwave"], 1.2, False),
        ("Wine vs native less start-up",
         (med["vornwave.exe under Wine"] - med["vornwave.exe --version"]) / (med["vornwave"] - med["vornwave --version"]),
         1.2, False),
        ("native vs sox", med["vornwave"] / med["sox sinc -n 999 notch"], 0.5, False)]:
    met = ratio >= want if better else ratio <= want
    print(f"target {text:18s} {'>=' if better else '<='} {want}x: {ratio:6.2f}x cpu  {'met' if met else 'NOT MET'}")
small = (med["vornwave.exe under Wine"] - med["vornwave.exe --version"]) / \
        (med["vornwave, 4 KB pages"] - med["vornwave --version, 4 KB"])
print(f"(no target) Wine vs native on 4 KB pages, less start-up: {small:.2f}x cpu")
print(f"(wall: native {wall['numpy/scipy reference'] / wall['vornwave']:.2f}x, "
      f"SSE2 {wall['numpy/scipy reference'] / wall['vornwave (SSE2 forced)']:.2f}x, "
      f"Wine/native {wall['vornwave.exe under Wine'] / wall['vornwave']:.2f}x, "
      f"native/sox {wall['vornwave'] / wall['sox sinc -n 999 notch']:.2f}x)")
for out in ("native", "sse2", "small", "wine"):
    same = filecmp.cmp(f"{work}/{out}.wav", f"{work}/reference.wav", shallow=False)
    print(f"{out} output {'identical to' if same else 'DIFFERS FROM'} the reference")
PY
