#!/bin/bash
# safe_files.sh [EMULATOR] VORNWAVE : rows of vornwave commands that must lose nothing and write
# no garbage. Each row gives the exit status, a text the message must hold and the files it may
# change; every other file of the folder must keep its bytes (and a link stays a link).
# With an emulator (the Windows tree under Wine) the Windows rows run and the POSIX ones do not.
windows=$([ $# -gt 1 ] && echo 1 || echo 0)
source "$(dirname "$0")/../support/file-test-lib.sh"
rows=0
snapshot() { find . -path ./log -prune -o \( -type f -o -type l \) -printf '%p %y %m ' -exec sh -c 'cat "$1" | md5sum' _ {} \; | sort; }

# row STATUS TEXT CHANGED -- ARGS...: CHANGED is a space-separated list of files that may differ.
row() {
    local status=$1 text=$2 changed=$3
    shift 4
    rows=$((rows + 1))
    local before after got
    before=$(snapshot)
    "${vornwave[@]}" "$@" >log 2>&1
    got=$?
    after=$(snapshot)
    [ "$got" = "$status" ] || fail "$*: exit $got, not $status"
    grep -q -- "$text" log || fail "$*: no \"$text\" in: $(cat log)"
    diff <(echo "$before") <(echo "$after") | grep '^[<>]' | awk '{print $2}' | sort -u | while read -r f; do
        [[ " $changed " == *" ${f#./} "* ]] || echo "$f"
    done > unexpected
    [ -s unexpected ] && fail "$*: changed $(tr '\n' ' ' < unexpected)"
}

sox -V1 -n -r 8000 -c 1 -b 16 m.wav synth 0.2 sine 440
sox -V1 -n -r 48000 -c 4 -b 16 quad.wav synth 0.1 sine 440
sox -V1 -n -r 8000 -c 1 -e floating-point -b 32 float.wav synth 0.1 sine 440
sox -V1 -n -r 8000 -c 2 -e floating-point -b 32 -t wavpcm float2.wav synth 0.1 sine 440
sox -V1 -n -r 8000 -c 1 -e mu-law ulaw.wav synth 0.1 sine 440
sox -V1 -n -r 8000 -c 1 -e ms-adpcm adpcm.wav synth 0.1 sine 440
head -c 100 m.wav > short.wav
: > empty.wav
mkdir d1 d2 folder.wav
cp m.wav d1/a.wav && cp m.wav d2/a.wav

for f in quad float float2 ulaw adpcm; do
    why=$(case $f in quad) echo "4 channels: only mono and stereo";; float*) echo "32-bit float samples are not supported";;
          ulaw) echo "mu-law samples are not supported";; adpcm) echo "ADPCM samples are not supported";; esac)
    row 1 "$f.wav: $why" "" -- calibrate --channel 0 --name X $f.wav
    row 1 "$f.wav: $why" "" -- filter --lowpass 1000 $f.wav out.wav
    row 1 "$f.wav: $why" "" -- probe --freq 1000 --level -20 $f.wav out.wav
done
row 1 "short.wav: the file is truncated" "" -- calibrate --channel 0 --name X short.wav
row 1 "empty.wav: the file is empty" "" -- filter --lowpass 1000 empty.wav out.wav
row 1 "missing.wav: no such file" "" -- calibrate --channel 0 --name X missing.wav
row 1 "folder.wav: it is a folder" "" -- calibrate --channel 0 --name X folder.wav
# A later input is never an earlier file's output, whatever --force says.
row 1 "is the input d2/a.wav of this run" "" -- filter --force --lowpass 1000 --out-dir d2 d1/a.wav d2/a.wav
row 1 "would replace its own input" "" -- filter --force --lowpass 1000 m.wav d1/../m.wav
# Frequencies at or above half the file's rate alias; the file is refused, not garbled.
row 1 "above half the sample rate (4000 Hz)" "" -- filter --lowpass 1e9 m.wav out.wav
row 1 "above half the sample rate (4000 Hz)" "" -- filter --highpass 4000 m.wav out.wav
row 1 "below half the sample rate (4000 Hz)" "" -- probe --freq 5000 --level -20 m.wav out.wav
row 0 "" "out.wav" -- filter --lowpass 1000 m.wav out.wav
# Options out of range are refused, not clamped; --opt=value works; --date alone keeps the description.
for bad in "filter --gain 1000 --lowpass 100" "filter --taps 1e6 --lowpass 100" "filter --lowpass 1000.9" \
           "calibrate --channel 0 --date 2026-02-29" "calibrate --channel 0 --name $(printf 'é%.0s' {1..40})"; do
    row 2 "" "" -- $bad m.wav  # shellcheck disable=SC2086
done
row 1 "m.wav: the file has one channel only" "" -- calibrate --channel 1 --name X m.wav
row 0 "" "o2.wav" -- filter --bandpass=100 200 --taps=39 m.wav o2.wav
row 0 "" "m.wav" -- calibrate --channel 0 --description "rig 2" --date 2026-12-06 m.wav
row 0 "" "m.wav" -- calibrate --channel=0 --date=2026-12-07 m.wav
row 0 'description: "rig 2, calibrated 2026-12-07"' "" -- info m.wav
# info shows what the others refuse, with soxi's length and format.
row 0 "unsupported: 4 channels" "" -- info quad.wav
row 0 '"supported":false,"unsupported":"mu-law' "" -- info --json ulaw.wav
for f in m quad float float2 ulaw; do
    for field in -s -r -c -b; do
        [ "$("${vornwave[@]}" info $field $f.wav | tr -d '\r')" = "$(soxi $field $f.wav)" ] || fail "info $field $f.wav differs from soxi"
    done
done

# One plain message per failure; "-" is refused, never made a file; the version is one number.
row 2 '"-" (standard input or output) is not offered' "" -- filter --lowpass 1000 m.wav -
row 2 '"-" (standard input or output) is not offered' "" -- info -
row 1 "m.wav: the file has one channel only" "" -- filter --channel 1 --lowpass 1000 m.wav out2.wav
printf '100\t0\n1000\t-6\n' > short.txt
row 2 "the table cannot be used: the table has too few rows" "" -- filter --table short.txt m.wav out2.wav
row 0 "^vornwave [0-9]*\.[0-9]*\.[0-9]*" "" -- --version

if [ "$windows" = 1 ]; then
    # Wildcards are expanded; names outside ASCII keep their letters, in the file and the folder.
    mkdir "sortié" && cp m.wav "é.wav"
    row 0 ".wav -> sorti" "sortié/é.wav" -- filter --lowpass 1000 --out-dir "sortié" "é.wav"
    [ -f "sortié/é.wav" ] || fail "é.wav was not written under its name: $(ls "sortié")"
    row 0 "frames: 1600" "" -- info "d1\\*.wav"
    # Case does not tell files apart on Windows: these are the inputs themselves.
    cp m.wav x.wav
    row 1 "would replace its own input" "" -- filter --force --lowpass 1000 x.wav X.WAV
    row 1 "would replace its own input" "" -- filter --force --lowpass 1000 --out-dir D1 d1/a.wav
else
    cp m.wav private.wav && chmod 640 private.wav && ln -s private.wav link.wav
    row 0 "link.wav: calibration written" "private.wav link.wav" -- calibrate --channel 0 --name X link.wav
    [ -L link.wav ] && [ "$(stat -c %a private.wav)" = 640 ] || fail "calibrate through a link: link or mode lost"
    cp m.wav one.wav && ln one.wav two.wav
    row 1 "2 hard links" "" -- calibrate --channel 0 --name X one.wav
    # Interrupted while its output is being written: the unfinished file goes, exit 130.
    sox -V1 -n -r 48000 -c 2 -b 16 long.wav synth 240 pinknoise
    mkdir out && cp m.wav out/m.wav
    before=$(snapshot)
    "${vornwave[@]}" filter --force --lowpass 1000 --taps 39 --out-dir out long.wav 2>log >/dev/null &
    pid=$!
    until compgen -G 'out/wav*.tmp' >/dev/null; do kill -0 $pid 2>/dev/null || break; done
    kill -STOP $pid; kill -INT $pid; kill -CONT $pid
    wait $pid
    got=$?
    rows=$((rows + 1))
    [ $got = 130 ] && grep -q "interrupted; 1 unfinished file removed" log || fail "interrupt: exit $got, $(cat log)"
    [ -z "$(compgen -G 'out/wav*.tmp')" ] && [ ! -e out/long.wav ] && cmp -s out/m.wav m.wav || fail "interrupt: left $(ls out)"
    diff <(echo "$before" | grep -v '^./out/') <(snapshot | grep -v '^./out/') >/dev/null || fail "interrupt: inputs changed"
fi

[ -z "$(compgen -G 'wav*.tmp')" ] || fail "temporary files left behind"
echo "$rows rows, $failures failed"
exit $((failures > 0))
