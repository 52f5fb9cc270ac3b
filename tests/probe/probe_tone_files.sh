#!/bin/bash
# probe_tone_files.sh VORNWAVE... : vornwave (native, or the .exe through the Wine runner) on
# sox-made stimuli, every output, plain and --compensate, byte for byte against the reference
# program's; the compensated notch against the plain one moved back; then the
# batch form with a failed file, no overwrite without --force, a refused frequency, info.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/file-test-lib.sh"

# name rate bits channels seconds "sox synth" freq level [saturates]
cases=(
    "mono16-48k-3s     48000 16 1 3   'pinknoise gain -10'  226.7 -12"
    "stereo16-44k-2.5s 44100 16 2 2.5 'pinknoise gain -6'   1000  -3"
    "stereo24-48k-0.4s 48000 24 2 0.4 'pinknoise gain -20'  10000 -60"
    "mono24-44k-2.5s   44100 24 1 2.5 'sine 440 gain -3'    100   -20"
    "loud16-48k-1.5s   48000 16 2 1.5 'square 50'           3000  -3  saturates"
    "loud24-44k-1s     44100 24 1 1   'square 60'           500   -3  saturates"
    "mono8-44k-1.3s    44100 8  1 1.3 'sine 300 gain -6'    440   -6"
    "stereo8-48k-0.7s  48000 8  2 0.7 'square 40'           2000  -3  saturates"
)
for row in "${cases[@]}"; do
    eval "set -- $row"
    name=$1 rate=$2 bits=$3 channels=$4 seconds=$5 synth=$6 freq=$7 level=$8 saturates=${9:-}
    sox -n -r "$rate" -b "$bits" -c "$channels" -t wavpcm "$name.wav" synth "$seconds" $synth 2>/dev/null
    /usr/bin/python3 "$here/probe_tone_reference.py" "$freq" "$level" "$name.wav" "$name-ref.wav" || fail "$name: reference"
    "${vornwave[@]}" probe --freq "$freq" --level "$level" "$name.wav" "$name-out.wav" >/dev/null || fail "$name: vornwave"
    cmp -s "$name-ref.wav" "$name-out.wav" && echo "ok $name" || fail "$name: output differs from the reference"
    /usr/bin/python3 "$here/probe_tone_reference.py" --compensate "$freq" "$level" "$name.wav" "$name-cref.wav" ||
        fail "$name: compensated reference"
    "${vornwave[@]}" probe --compensate --freq "$freq" --level "$level" "$name.wav" "$name-comp.wav" >/dev/null ||
        fail "$name: vornwave --compensate"
    cmp -s "$name-cref.wav" "$name-comp.wav" || fail "$name: compensated output differs from the reference"
    full=$(case $bits in 8) echo "12[78]";; 16) echo "3276[78]";; *) echo "838860[78]";; esac)
    [ -z "$saturates" ] || "${vornwave[@]}" info "$name-out.wav" | grep -Eq "channel 0: $full " || fail "$name: no full scale"
done

# Compensated, channel 0 is the plain output 500 frames earlier but for the tone, which starts
# at frame 0 in both (so they differ by the tone's own 500-frame step), wherever neither clips;
# channel 1 is the input.
/usr/bin/python3 - "${cases[@]}" <<'PY' || fail "compensated outputs are not the plain ones moved back"
import shlex, sys, numpy as np
from scipy.io import wavfile
bad = 0
for row in sys.argv[1:]:
    name, rate, bits, channels, seconds, synth, freq, level, *saturates = shlex.split(row)
    if saturates or bits == "8":
        continue
    read = lambda suffix: wavfile.read(f"{name}{suffix}.wav")[1].astype(np.int64).reshape(-1, int(channels))
    x, plain, comp = read(""), read("-out"), read("-comp")
    full = (1 << (int(bits) - 1)) - 1
    k = np.arange(len(x) - 500)
    hz = float(np.float32(freq))  # the tool's 32-bit frequency and its two pi, short by a digit
    tone = lambda at: full * 10 ** (float(level) / 20) * 0.999 * np.sin((at + 1) * 6.2831852 * hz / int(rate))
    if int(bits) == 24:  # scipy reads 24-bit samples in the top bytes of 32
        x, plain, comp = x >> 8, plain >> 8, comp >> 8
    inside = (np.abs(comp[:-500, 0]) < full) & (np.abs(plain[500:, 0]) < full)
    worst = np.max(np.abs((comp[:-500, 0] - plain[500:, 0]) - (tone(k) - tone(k + 500)))[inside])
    if worst > 2 or not np.array_equal(comp[:, 1:], x[:, 1:]):
        print(f"{name}: compensated channel 0 off by {worst} from the plain one moved back, or channel 1 moved")
        bad += 1
sys.exit(bad)
PY

# Batch: two good files and one that is not a wave file; the good ones are still done.
mkdir -p out
echo "not a wave" > broken.wav
"${vornwave[@]}" probe --freq 226.7 --level -12 --out-dir out mono16-48k-3s.wav broken.wav mono24-44k-2.5s.wav \
    >batch.log 2>&1
[ $? = 1 ] || fail "batch with a broken file: exit status not 1"
grep -q "broken.wav: .*Error reading stimulus file." batch.log || fail "batch: no error line for broken.wav"
cmp -s out/mono16-48k-3s.wav mono16-48k-3s-ref.wav || fail "batch output differs from the single-file reference"
[ -s out/mono24-44k-2.5s.wav ] || fail "batch: the file after the broken one was not done"
[ ! -e out/broken.wav ] || fail "batch: a failed file left an output"

# Existing outputs are kept without --force; the refused frequency is a usage error.
cp out/mono16-48k-3s.wav kept.wav
"${vornwave[@]}" probe --freq 1000 --level -3 mono16-48k-3s.wav kept.wav >/dev/null 2>&1
[ $? = 1 ] || fail "overwrite without --force: exit status not 1"
cmp -s kept.wav out/mono16-48k-3s.wav || fail "an existing output was replaced without --force"
"${vornwave[@]}" probe --freq 99.9 --level -3 mono16-48k-3s.wav new.wav >usage.log 2>&1
[ $? = 2 ] || fail "refused frequency: exit status not 2"
grep -q "Probe frequency must be between 100 Hz and 10 kHz." usage.log || fail "refused frequency: no message"
[ "$(ls | grep -c '\.tmp$')" = 0 ] || fail "temporary files left behind"

# info: what soxi reads from the same file, and the calibration block's fields.
f=stereo16-44k-2.5s-out.wav
"${vornwave[@]}" info $f "$here/../../fuzz/corpus/wave_load/calibration.wav" >info.log 2>&1 \
    || fail "info: exit status $?: $(cat info.log)"
grep -q "format: $(soxi -b $f)-bit signed integer PCM, $(soxi -c $f) channels, $(soxi -r $f) Hz" info.log \
    || fail "info: format differs from soxi's"
grep -q "frames: $(soxi -s $f)" info.log || fail "info: frames differ from soxi's"
grep -q 'calibration left: valid 0, name "Mic A"' info.log || fail "info: calibration block not shown"

[ $failures = 0 ] && echo "all probe-tone files identical to the reference"
exit $((failures > 0))
