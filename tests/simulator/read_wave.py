# read_wave.py FILE: what Python's own wave module reads from a 24-bit file: channels,
# sample width, rate, frames, then every sample as a signed integer.
import sys
import wave

w = wave.open(sys.argv[1])
d = w.readframes(w.getnframes())
print(w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes(),
      *[int.from_bytes(d[i:i + 3], 'little', signed=True) for i in range(0, len(d), 3)])
