#!/bin/bash
# filter_files.sh VORNWAVE... : `vornwave filter` on a sox-made stimulus against scipy's firwin
# taps applied by lfilter, a flat response table against a plain delay, and a refused table.
source "$(dirname "$0")/../support/file-test-lib.sh"

sox -n -r 48000 -b 16 -c 2 -t wavpcm stereo.wav synth 1.5 pinknoise gain -8 2>/dev/null
printf '; flat\n0\t0\n12000\t0\n24000\t0\n' > flat.txt
"${vornwave[@]}" filter --lowpass 3000 --taps 201 --gain -6 stereo.wav low.wav >/dev/null || fail "lowpass"
"${vornwave[@]}" filter --highpass 500 --taps 101 --channel 1 stereo.wav high1.wav >/dev/null || fail "highpass ch 1"
"${vornwave[@]}" filter --table flat.txt --gain -6 stereo.wav flat.wav >/dev/null || fail "table"
"${vornwave[@]}" filter --lowpass 3000 --taps 201 --gain -6 --compensate stereo.wav lowc.wav >/dev/null || fail "compensated"
"${vornwave[@]}" filter --highpass 500 --taps 101 --channel 1 --compensate stereo.wav high1c.wav >/dev/null || fail "compensated ch 1"

/usr/bin/python3 - <<'PY' || fail "outputs differ from the reference"
import sys, numpy as np, scipy.signal as ss
from scipy.io import wavfile
read = lambda name: wavfile.read(name)[1].astype(np.int64)
def filtered(x, taps, gain_db):  # output i combines inputs i - count .. i - 1
    y = ss.lfilter(taps * 10 ** (gain_db / 20), 1.0, x.astype(float))
    return np.concatenate([[0.0], y[:-1]])
bad = 0
def check(name, got, want, slack=1.0):  # the tool truncates toward zero
    global bad
    worst = np.max(np.abs(got - np.trunc(want)))
    if worst > slack: print(f"{name}: off by {worst}"); bad += 1
r, x = 48000, read("stereo.wav")
low = ss.firwin(201, 3000, window="hann", scale=False, fs=r)
check("lowpass", read("low.wav"), np.stack([filtered(x[:, c], low, -6) for c in (0, 1)], 1))
padded = np.vstack([x, np.zeros((101, 2))])  # compensated: 101 frames earlier, the tail kept
check("compensated", read("lowc.wav"), np.stack([filtered(padded[:, c], low, -6)[101:] for c in (0, 1)], 1))
h1 = read("high1.wav")
check("highpass channel 1", h1[:, 1], filtered(x[:, 1], ss.firwin(101, 500, window="hann", pass_zero=False, scale=False, fs=r), 0))
check("channel 0 untouched", h1[:, 0], x[:, 0], 0)
h1c, high = read("high1c.wav"), ss.firwin(101, 500, window="hann", pass_zero=False, scale=False, fs=r)
check("compensated channel 1", h1c[:, 1], filtered(np.concatenate([x[:, 1], np.zeros(51)]), high, 0)[51:])
check("compensated, channel 0 untouched", h1c[:, 0], x[:, 0], 0)
delayed = np.vstack([np.zeros((500, 2)), x[:-500]]) * 10 ** (-6 / 20)
check("flat table", read("flat.wav"), delayed, 2 + 0.002 * np.abs(delayed).max())
sys.exit(bad)
PY

# A refused table writes nothing; a flat one's response is 0 dB.
printf '100\t0\n1000\t-6\n' > short.txt
"${vornwave[@]}" filter --table short.txt stereo.wav short.wav >usage.log 2>&1
[ $? = 2 ] && [ ! -e short.wav ] || fail "a table with two rows was not refused"
grep -q "the table has too few rows" usage.log || fail "refused table: no loader message"
"${vornwave[@]}" filter --table flat.txt --response 100,1000 | grep -q "^1000.0	-0.00	0.00" || fail "response of a flat table"

[ $failures = 0 ] && echo "all filtered files match the references"
exit $((failures > 0))
