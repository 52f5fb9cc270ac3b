#!/bin/bash
# The 4096-point real FFT against numpy's rfft/irfft, and the double-precision complex FFT
# at the sizes the FIR filter's FFT path uses against numpy's fft/ifft (complex128), on the
# same machine in the same run: medians (and minimums, the figure least disturbed by other
# load) and ratios, plus the real FFT's relative error against a double-precision DFT.
#   bench/real_fft.sh [bench tree]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$here/build/bench}
samples=${SAMPLES:-21}
if [ ! -f "$tree/build.ninja" ]; then
    cmake -S "$here" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BENCH=ON -DVORN_TESTS=OFF >/dev/null
fi
cmake --build "$tree" --target bench_real_fft >/dev/null

ours=$("$tree/bench/bench_real_fft" --median "$samples")
theirs=$(/usr/bin/python3 - "$samples" <<'PY'
import sys, timeit
import numpy as np
samples = int(sys.argv[1])
x = np.random.default_rng(4096).uniform(-1, 1, 4096).astype(np.float32)
X = np.fft.rfft(x)
cases = [("numpy_rfft_4096", lambda: np.fft.rfft(x)), ("numpy_irfft_4096", lambda: np.fft.irfft(X))]
for n in (4096, 8192):
    z = np.random.default_rng(n).uniform(-1, 1, n) + 1j * np.random.default_rng(n + 1).uniform(-1, 1, n)
    cases += [(f"numpy_fft_{n}", lambda z=z: np.fft.fft(z)), (f"numpy_ifft_{n}", lambda z=z: np.fft.ifft(z))]
for name, f in cases:
    number = 1
    while timeit.timeit(f, number=number) < 0.02:
        number *= 2
    times = sorted(t / number * 1e6 for t in timeit.repeat(f, number=number, repeat=samples))
    print(f"{name} median {times[len(times) // 2]:.2f} us min {times[0]:.2f} us")
PY
)
echo "$ours"
echo "$theirs"
field() { awk -v n="$1" -v f="$2" '$1 == n { print $f }' <<<"$ours
$theirs"; }
# Targets: the real FFT at most 0.8 of numpy's time, the complex FFT no slower than numpy's;
# judged on the median ratio.
for pair in "real_fft_forward_4096 numpy_rfft_4096 0.8" "real_fft_inverse_4096 numpy_irfft_4096 0.8" \
            "complex_fft_forward_4096 numpy_fft_4096 1.0" "complex_fft_inverse_4096 numpy_ifft_4096 1.0" \
            "complex_fft_forward_8192 numpy_fft_8192 1.0" "complex_fft_inverse_8192 numpy_ifft_8192 1.0"; do
    set -- $pair
    awk -v a="$(field "$1" 3)" -v b="$(field "$2" 3)" -v c="$(field "$1" 6)" -v d="$(field "$2" 6)" -v n="$1" -v limit="$3" \
        'BEGIN { printf "%s / numpy: median ratio %.2f, min ratio %.2f (limit %.1f)  %s\n", n, a / b, c / d, limit,
                 a / b <= limit ? "met" : "NOT MET" }'
done
