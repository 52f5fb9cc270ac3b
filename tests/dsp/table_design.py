# table_design.py FILE...: the response-table design written independently of the
# program, printing the taps per file, rate (44100, 48000) and tap count (39, 101, 999).
# The design: the table carried onto the 2048 bins by scipy's natural spline (or straight
# lines after ";SPLINE OFF" in any case), the inverse real FFT of the magnitudes, the middle
# taps scaled by 32767 / 16384 with both ends zero, then scipy's Hann window.
import sys
import numpy as np
import scipy.signal.windows as sw
from scipy.interpolate import CubicSpline


def load(path):
    text = open(path).read()
    rows = [line.split() for line in text.splitlines() if line[:1] != ';']
    return np.array(rows, float), ';SPLINE OFF' in text.upper()


def design(path, rate, n):
    (t, linear), bw = load(path), rate / 2 / 2048
    f = np.arange(2048) * bw
    first, last = (min(int(np.floor(v / bw + 0.5)), 2047) for v in (t[0, 0], t[-1, 0]))
    d = np.interp(f, t[:, 0], t[:, 1]) if linear else CubicSpline(t[:, 0], t[:, 1], bc_type='natural')(f)
    d[:first + 1] = t[0, 1]
    d[last:] = t[-1, 1]
    x = np.fft.irfft(np.append(10 ** (np.clip(d, -240, 240) / 20), 0), 4096) / 2
    m = (n - 1) // 2
    c = np.zeros(n)
    c[m:n - 1] = x[:m] * 32767 / 16384
    c[1:m + 1] = x[m - 1::-1] * 32767 / 16384
    print(*(c * sw.hann(n, sym=True)))


for path in sys.argv[1:]:
    for rate in (44100, 48000):
        for n in (39, 101, 999):
            design(path, rate, n)
