#!/bin/bash
# batch_files.sh [EMULATOR] VORNWAVE : a batch gives the same bytes, lines and exit status one
# file at a time (-j 1), two at a time and one per core, with a failing file and a doubled
# output in the middle of the list.
source "$(dirname "$0")/../support/file-test-lib.sh"

mkdir sub
for i in 1 2 3 4 5; do sox -V1 -R -n -r 48000 -c 2 -b 16 -t wavpcm in$i.wav synth 2 pinknoise vol 0.$i; done
cp in1.wav sub/in1.wav
head -c 300 in2.wav > bad.wav
files=(in1.wav in2.wav bad.wav sub/in1.wav in3.wav in4.wav in5.wav)

# run NAME COMMAND ARGS... --out-dir: one batch per -j setting, in folders of its own; logs without the CRs Wine adds.
run() {
    local name=$1 command=$2
    shift 2
    for j in 1 2 default; do
        mkdir -p "$name-$j"
        local jobs=(-j "$j")
        [ "$j" = default ] && jobs=()
        "${vornwave[@]}" "$command" "${jobs[@]}" "$@" "$name-$j" >"$name-$j.out" 2>"$name-$j.err"
        echo $? >"$name-$j.status"
        sed -i 's/\r$//; s/'"$name-$j"'/DIR/g' "$name-$j.out" "$name-$j.err"
    done
    for j in 2 default; do
        for what in out err status; do
            cmp -s "$name-1.$what" "$name-$j.$what" || fail "$name -j $j: standard $what differs from -j 1: $(diff "$name-1.$what" "$name-$j.$what")"
        done
        diff -r "$name-1" "$name-$j" >/dev/null || fail "$name -j $j: outputs differ from -j 1"
    done
    [ "$(cat "$name-1.status")" = 1 ] || fail "$name: exit $(cat "$name-1.status"), not 1"
    [ "$(grep -c . "$name-1.out")" = 5 ] || fail "$name: not five result lines: $(cat "$name-1.out")"
}

run probe probe --freq 1000 --level -20 "${files[@]}" --out-dir
grep -qx "vornwave probe: bad.wav: the file is truncated: .*" probe-1.err || fail "probe: no whole error line for bad.wav: $(cat probe-1.err)"
grep -qx "vornwave probe: sub/in1.wav: DIR[/\\]in1.wav is already an output of this run" probe-1.err ||
    fail "probe: the doubled output is not refused: $(cat probe-1.err)"
run filter filter --bandstop 1000 150 "${files[@]}" --out-dir

# calibrate rewrites in place: each setting gets its own copy of the files.
for j in 1 2 default; do mkdir -p "cal-$j/sub" && cp in?.wav bad.wav "cal-$j/" && cp sub/in1.wav "cal-$j/sub/"; done
for j in 1 2 default; do
    jobs=(-j "$j")
    [ "$j" = default ] && jobs=()
    (cd "cal-$j" && "${vornwave[@]}" calibrate --channel both --name mic --date 2026-12-07 "${jobs[@]}" "${files[@]}" \
        >../cal-$j.out 2>../cal-$j.err; echo $? >../cal-$j.status)
done
for j in 2 default; do
    for what in out err status; do cmp -s cal-1.$what cal-$j.$what || fail "calibrate -j $j: standard $what differs from -j 1"; done
    diff -r cal-1 cal-$j >/dev/null || fail "calibrate -j $j: files differ from -j 1"
done

for bad in 0 x -1 ""; do
    "${vornwave[@]}" probe --freq 1000 --level -20 -j "$bad" in1.wav o.wav >/dev/null 2>log
    [ $? = 2 ] && grep -q -- "-j takes how many files" log || fail "-j \"$bad\" is not a usage error: $(cat log)"
done
[ -e o.wav ] && fail "a usage error wrote o.wav"
echo "$failures failed"
exit $((failures > 0))
