#!/bin/bash
# calibrate_files.sh VORNWAVE... : `vornwave calibrate` (native, or the Windows one through
# the Wine runner) on sox-made files, some with the chunks recording programs add, checked by
# a chunk reader of its own, soxi and `vornwave info`; then files it must refuse without
# changing them, and usage errors.
source "$(dirname "$0")/../support/file-test-lib.sh"

# check.py FILE SAMPLES ORIGINAL [field=value...]: same samples, every chunk of ORIGINAL but its
# calibration byte for byte and in order, exact form length, one 0x66 chunk of 2048 bytes right
# behind the form, and block fields (l.name, r.valid, ...) as given.
cat > check.py <<'PY'
import struct, sys
path, saved, original, *fields = sys.argv[1:]
def chunks(b, at, end):
    while at + 8 <= end:
        n = struct.unpack_from('<I', b, at + 4)[0]
        yield b[at:at + 4], b[at:at + 8 + n + n % 2]
        at += 8 + n + n % 2
def layout(b):
    form_end = 8 + struct.unpack_from('<I', b, 4)[0]
    assert b[:4] == b'RIFF' and b[8:12] == b'WAVE' and form_end <= len(b), 'form'
    return list(chunks(b, 12, form_end)), list(chunks(b, form_end, len(b)))
inside, behind = layout(open(path, 'rb').read())
old_inside, old_behind = layout(open(original, 'rb').read())
cal = b'\x66\0\0\0'
assert [c[1][8:8 + struct.unpack_from('<I', c[1], 4)[0]] for c in inside if c[0] == b'data'] == [open(saved, 'rb').read()], 'samples changed'
assert inside == old_inside, 'chunks inside the form changed'
assert [c for c in behind if c[0] != cal] == [c for c in old_behind if c[0] != cal], 'chunks behind the form changed'
assert behind and behind[0][0] == cal and len(behind[0][1]) == 8 + 2048 and sum(c[0] == cal for c in behind) == 1, \
    'not one calibration chunk behind the form'
block = behind[0][1][8:]
def text(at, size): return block[at:at + size].split(b'\0')[0].decode()
def record(at): return {'valid': struct.unpack_from('<i', block, at)[0], 'kind': struct.unpack_from('<i', block, at + 12)[0],
                        'unit': text(at + 16, 60), 'dbunit': text(at + 76, 60), 'factor': struct.unpack_from('<f', block, at + 140)[0],
                        'scale': struct.unpack_from('<f', block, at + 144)[0], 'name': text(at + 156, 40)}
got = {'description': text(0, 260), **{'l.' + k: v for k, v in record(260).items()}, **{'r.' + k: v for k, v in record(894).items()}}
for f in fields:
    key, value = f.split('=', 1)
    assert str(got[key]) == value, f'{key}: {got[key]!r} != {value!r}'
PY

# with_chunks FILE: a LIST chunk of odd size spliced in before "data" and a "bext" chunk behind
# the form, as recording programs leave them.
cat > with_chunks.py <<'PY'
import struct, sys
b = open(sys.argv[1], 'rb').read()
at = b.index(b'data')
b = b[:at] + b'LIST' + struct.pack('<I', 17) + b'INFOISFT' + struct.pack('<I', 5) + b'rig2\0\0' + b[at:]
b = b[:4] + struct.pack('<I', len(b) - 8) + b[8:] + b'bext' + struct.pack('<I', 4) + b'take'
open(sys.argv[1], 'wb').write(b)
PY

for shape in "mono16 1 16 0.7" "stereo24 2 24 0.5" "mono8 1 8 0.30003"; do
    set -- $shape
    name=$1
    sox -V1 -n -r 48000 -c "$2" -b "$3" "$name.wav" synth "$4" pinknoise gain -10
    sox -V1 "$name.wav" -t raw "$name.raw"  # the stored bytes (sox writes 24-bit in the extensible form)
    [ "$name" = stereo24 ] || /usr/bin/python3 with_chunks.py "$name.wav"
    cp "$name.wav" "$name.orig"
    "${vornwave[@]}" calibrate --channel both --sensitivity 0.25 --count-scale 0.5 --unit Pa --db-unit "dB SPL" \
        --unit-kind 3 --name "Mic A" --description "rig 2" --date 2026-12-07 "$name.wav" >/dev/null || fail "$name: exit status"
    /usr/bin/python3 check.py "$name.wav" "$name.raw" "$name.orig" "description=rig 2, calibrated 2026-12-07" l.valid=1 l.factor=0.25 \
        l.scale=0.5 l.kind=3 l.unit=Pa "l.dbunit=dB SPL" "l.name=Mic A" r.factor=0.25 "r.name=Mic A" || fail "$name: first run"
    [ "$(soxi -s "$name.wav")" = "$(soxi -s "$name.orig")" ] || fail "$name: soxi reads another length"
    "${vornwave[@]}" calibrate --channel 1 --clear "$name.wav" >/dev/null || fail "$name: --clear exit status"
    /usr/bin/python3 check.py "$name.wav" "$name.raw" "$name.orig" l.valid=1 "l.name=Mic A" r.valid=0 r.name=Right r.factor=0.0 r.unit= \
        || fail "$name: after --clear"
    "${vornwave[@]}" info "$name.wav" | grep -q 'calibration right: valid 0, name "Right"' || fail "$name: info"
done

# Files it must refuse, each left exactly as it was.
echo "not a wave" > broken.wav
sox -V1 -n -r 8000 -c 1 -e floating-point -b 32 float.wav synth 0.1 sine 440
cp mono16.wav readonly.wav && chmod a-w readonly.wav
for f in broken.wav float.wav readonly.wav missing.wav; do
    [ -e "$f" ] && cp "$f" "$f.before"
    "${vornwave[@]}" calibrate --channel 0 --name X "$f" > "$f.log" 2>&1
    [ $? = 1 ] || fail "$f: exit status not 1"
    grep -q "calibrate: $f: " "$f.log" || fail "$f: no error line"
    [ ! -e "$f" ] || cmp -s "$f" "$f.before" || fail "$f: changed"
done

for bad in "--name X" "--channel 2 --name X" "--channel 0" "--channel 0 --sensitivity abc" "--channel 0 --date 2026-13-01" \
           "--channel 0 --name $(printf 'n%.0s' {1..40})"; do  # shellcheck disable=SC2086
    "${vornwave[@]}" calibrate $bad mono16.wav >/dev/null 2>&1; [ $? = 2 ] || fail "'$bad': exit status not 2"
done
[ "$(ls | grep -c '\.tmp$')" = 0 ] || fail "temporary files left behind"
exit $failures
