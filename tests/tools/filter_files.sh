#!/bin/bash
# filter_files.sh VORNWAVE... : runs `vornwave filter` (natively, or the Windows binary
# through the Wine runner) on sox-made stimuli and checks its outputs against scipy's
# firwin taps applied by lfilter (within one step of the last bit), a flat response table
# against a plain 500-sample delay, and the batch, overwrite and bad-table rules.
set -u
vornwave=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

sox -n -r 48000 -b 16 -c 2 -t wavpcm stereo.wav synth 1.5 pinknoise gain -8 2>/dev/null
sox -n -r 44100 -b 24 -c 1 -t wavpcm mono.wav synth 1.2 pinknoise gain -3 2>/dev/null
printf '; flat\n0\t0\n12000\t0\n24000\t0\n' > flat.txt
"${vornwave[@]}" filter --lowpass 3000 --taps 201 --gain -6 stereo.wav low.wav >/dev/null || fail "lowpass"
"${vornwave[@]}" filter --highpass 500 --taps 101 --channel 1 stereo.wav high1.wav >/dev/null || fail "highpass ch 1"
"${vornwave[@]}" filter --bandstop 1000 150 mono.wav notch.wav >/dev/null || fail "bandstop"
"${vornwave[@]}" filter --table flat.txt --gain -6 stereo.wav flat.wav >/dev/null || fail "table"

/usr/bin/python3 - <<'PY' || fail "outputs differ from the reference"
import sys, wave, numpy as np, scipy.signal as ss
def read(name):
    with wave.open(name) as w:
        raw = np.frombuffer(w.readframes(w.getnframes()), np.uint8)
        b, c, r = w.getsampwidth(), w.getnchannels(), w.getframerate()
    v = raw.reshape(-1, b).astype(np.int64) << (8 * np.arange(b))
    v = v.sum(1); v -= (v >= 1 << (8 * b - 1)) << (8 * b)
    return v.reshape(-1, c), r, b
def filtered(x, taps, gain_db):  # output i combines inputs i - count .. i - 1
    y = ss.lfilter(taps * 10 ** (gain_db / 20), 1.0, x.astype(float))
    return np.concatenate([[0.0], y[:-1]])
bad = 0
def check(name, got, want, slack=1.0):  # the tool truncates toward zero
    global bad
    worst = np.max(np.abs(got - np.trunc(want)))
    if worst > slack: print(f"{name}: off by {worst}"); bad += 1
x, r, _ = read("stereo.wav"); m, mr, _ = read("mono.wav")
low = ss.firwin(201, 3000, window="hann", scale=False, fs=r)
check("lowpass", read("low.wav")[0], np.stack([filtered(x[:, c], low, -6) for c in (0, 1)], 1))
h1 = read("high1.wav")[0]
check("highpass channel 1", h1[:, 1], filtered(x[:, 1], ss.firwin(101, 500, window="hann", pass_zero=False, scale=False, fs=r), 0))
check("channel 0 untouched", h1[:, 0], x[:, 0], 0)
notch = ss.firwin(999, [925, 1075], window="hann", scale=False, fs=mr)
# firwin's taps agree with the tool's within 5e-8 each, a few steps of 24-bit full scale
check("bandstop 24-bit", read("notch.wav")[0][:, 0], filtered(m[:, 0], notch, 0), 8)
delayed = np.vstack([np.zeros((500, 2)), x[:-500]]) * 10 ** (-6 / 20)
check("flat table", read("flat.wav")[0], delayed, 2 + 0.002 * np.abs(delayed).max())
sys.exit(bad)
PY

# Batch with a broken file; no overwrite without --force; a refused table writes nothing.
mkdir -p out
echo "not a wave" > broken.wav
"${vornwave[@]}" filter --lowpass 3000 --taps 201 --gain -6 --out-dir out stereo.wav broken.wav mono.wav >batch.log 2>&1
[ $? = 1 ] || fail "batch with a broken file: exit status not 1"
grep -q "broken.wav: " batch.log || fail "batch: no error line for broken.wav"
cmp -s out/stereo.wav low.wav || fail "batch output differs from the single-file one"
[ -s out/mono.wav ] && [ ! -e out/broken.wav ] || fail "batch: wrong set of outputs"
"${vornwave[@]}" filter --lowpass 100 stereo.wav low.wav >/dev/null 2>&1
[ $? = 1 ] && cmp -s out/stereo.wav low.wav || fail "an existing output was replaced without --force"
printf '100\t0\n1000\t-6\n' > short.txt
"${vornwave[@]}" filter --table short.txt stereo.wav short.wav >usage.log 2>&1
[ $? = 2 ] && [ ! -e short.wav ] || fail "a table with two rows was not refused"
grep -q "INSUFFICIENT_TABLE_ENTRIES" usage.log || fail "refused table: no loader message"
"${vornwave[@]}" filter --table flat.txt --response 100,1000 | grep -q "^1000.0	-0.00	0.00" || fail "response of a flat table"

[ $failures = 0 ] && echo "all filtered files match the references"
exit $((failures > 0))
