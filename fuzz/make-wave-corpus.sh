#!/bin/bash
# Writes the seed files of fuzz_wave_load and fuzz_wave_direct into fuzz/corpus/wave_load/
# and fuzz/corpus/wave_direct/: small valid files of each sample width, one with a LIST
# chunk and a "CAL1" text, files carrying the calibration chunk and the legacy record
# behind the RIFF form, and the layouts other writers leave (a RIFF length of 0xFFFFFFFF
# or of the whole file, odd 8-bit data without its pad byte, a frame size of 0, a chunk
# after "data", data outside a form that is too short, a "CAL1" size past a form that is
# longer than the file) and the extensible "fmt " of 24-bit files.
set -euo pipefail
corpus=$(cd "$(dirname "$0")" && pwd)/corpus
mkdir -p "$corpus/wave_load" "$corpus/wave_direct"
/usr/bin/python3 - "$corpus" <<'PY'
import struct, sys
corpus = sys.argv[1]

def chunk(cid, data, size=None):
    if isinstance(cid, int):
        cid = struct.pack('<I', cid)
    pad = b'\0' if len(data) % 2 else b''
    return cid + struct.pack('<I', len(data) if size is None else size) + data + pad

def fmt(ch, rate, width, tag=1):
    return chunk(b'fmt ', struct.pack('<HHIIHH', tag, ch, rate, rate * ch * width, ch * width, 8 * width))

def riff(*chunks):
    body = b'WAVE' + b''.join(chunks)
    return b'RIFF' + struct.pack('<I', len(body)) + body

def save(name, data):
    for target in ('wave_load', 'wave_direct'):
        open(f'{corpus}/{target}/{name}', 'wb').write(data)

def with_length(data, length):
    return data[:4] + struct.pack('<I', length) + data[8:]

ramp = bytes((i * 37 + 11) % 256 for i in range(48))
save('mono8.wav', riff(fmt(1, 8000, 1), chunk(b'data', ramp[:9])))
save('stereo16.wav', riff(fmt(2, 48000, 2), chunk(b'data', ramp[:16])))
save('stereo24.wav', riff(fmt(2, 96000, 3), chunk(b'data', ramp[:24])))
save('mono32.wav', riff(fmt(1, 44100, 4, 3), chunk(b'data', ramp[:16])))
cal1 = b'hdr 333D01 ABCDEFGHIJKLMNOPQR1000012000 tail of the text'
save('list-cal1.wav', riff(fmt(2, 44100, 2), chunk(b'LIST', b'INFOISFT\x05\0\0\0vorn\0'),
                          chunk(b'CAL1', cal1), chunk(b'data', ramp[:12])))
block = bytearray(2048)
block[260 + 156:260 + 161] = b'Mic A'
block[894 + 156:894 + 161] = b'Mic B'
save('calibration.wav', riff(fmt(1, 8000, 2), chunk(b'data', ramp[:8])) + chunk(0x66, bytes(block)))
save('calibration-size0.wav', riff(fmt(1, 8000, 2), chunk(b'data', ramp[:8])) + chunk(0x66, bytes(block), 0))
legacy = bytearray(1024)
legacy[0:4] = struct.pack('<i', 1)
legacy[400:408] = struct.pack('<ff', 0.5, 0.75)
save('legacy.wav', riff(fmt(2, 8000, 2), chunk(b'data', ramp[:8])) + chunk(0x65, bytes(legacy)))
plain = riff(fmt(2, 48000, 2), chunk(b'data', ramp[:16]))
save('streaming-length.wav', with_length(plain, 0xFFFFFFFF))
save('whole-file-length.wav', with_length(plain, len(plain)))
save('odd8-no-pad.wav', riff(fmt(1, 8000, 1), chunk(b'data', ramp[:7]))[:-1])
save('frame-size-0.wav', riff(chunk(b'fmt ', struct.pack('<HHIIHH', 1, 1, 8000, 0, 0, 16)), chunk(b'data', ramp[:8])))
save('list-after-data.wav', riff(fmt(1, 8000, 1), chunk(b'data', ramp[:9]), chunk(b'LIST', b'INFOISFT\x03\0\0\0ab\0'))
     + chunk(0x66, bytes(block)))
save('data-outside-form.wav', with_length(plain, 4 + 24))
extensible = struct.pack('<HHIIHHHHI', 0xFFFE, 2, 48000, 48000 * 6, 6, 24, 22, 24, 3) + struct.pack('<H', 1) + bytes(14)
save('extensible24.wav', riff(chunk(b'fmt ', extensible), chunk(b'data', ramp[:18])))
save('cal1-past-the-file.wav', with_length(riff(fmt(2, 8000, 2), chunk(b'data', ramp[:8]), chunk(b'CAL1', cal1, 0x7FFFFFF0)),
                                           0xFFFFFFFF))
PY
ls -l "$corpus/wave_load" "$corpus/wave_direct"
