#!/usr/bin/python3
"""probe_tone_reference.py [--compensate] FREQ LEVEL IN.wav OUT.wav: the probe-tone tool written
again from its description (compensated: the notch over the input and 500 frames of silence,
its first 500 output frames dropped, the tone still from frame 0): Python's wave module, the 999-tap band-stop (checked against
scipy.signal.firwin), math.sin, and 32-bit float rounding where the tool rounds. New samples
saturate; 8-bit ones get the tone around 127 with amplitude 127 g 0.999, rounded to nearest."""
import math
import struct
import sys
import wave

import numpy as np
import scipy.signal as ss

f32 = np.float32
PI = 3.141592654          # the design's pi
TWO_PI = 6.2831852        # the tone's two pi
TAPS = 999
DELAY = (TAPS + 1) // 2


def read(path):
    with wave.open(path, "rb") as w:
        channels, width, rate = w.getnchannels(), w.getsampwidth(), w.getframerate()
        data = np.frombuffer(w.readframes(w.getnframes()), np.uint8).reshape(-1, channels, width).astype(np.int64)
    values = sum(data[:, :, b] << (8 * b) for b in range(width))
    sign = 1 << (8 * width - 1)
    return channels, width, rate, values if width == 1 else np.where(values & sign, values - 2 * sign, values)


def arm(w, c):
    m = (TAPS - 1) // 2
    a = np.zeros(TAPS, f32)
    a[m] = f32(float(w) / PI)
    for k in range(1, m + 1):
        a[m + k] = a[m - k] = f32(math.cos(k * float(c)) * math.sin(k * float(w)) / (k * PI))
    return a


def bandstop(centre, rate):
    nyquist = rate / 2.0
    radians = lambda hz: f32(PI * hz / nyquist)
    hann = np.array([f32(0.5 + 0.5 * math.cos(3.1415927 * (2.0 * i / (TAPS - 1) - 1.0))) for i in range(TAPS)], f32)
    arm1 = hann * arm(radians(centre - 75.0), f32(0.0))
    arm2 = hann * arm(radians(nyquist - (centre + 75.0)), f32(PI))
    taps = arm2 + arm1
    designed = ss.firwin(TAPS, [centre - 75, centre + 75], window="hann", pass_zero="bandstop", scale=False, fs=rate)
    worst = np.max(np.abs(taps.astype(np.float64) - designed))
    assert worst < 1e-6, f"band-stop differs from scipy.signal.firwin by {worst}"
    return taps


def notch(samples, taps, offset, low, high):
    x = np.concatenate([np.zeros(TAPS), (samples - offset).astype(np.float64)])
    acc = np.zeros(len(samples))
    for k in range(TAPS):
        acc += x[k:k + len(samples)] * float(taps[k])
    return np.clip(np.trunc(acc + offset), low, high).astype(np.int64)


def tone(frames, freq, rate):
    f = float(f32(freq))
    return np.array([f32(math.sin((k + 1) * TWO_PI * f / rate)) for k in range(frames)], f32)


def main():
    compensate = sys.argv[1] == "--compensate"
    args = sys.argv[2:] if compensate else sys.argv[1:]
    freq, level, source, target = float(args[0]), float(args[1]), args[2], args[3]
    channels, width, rate, values = read(source)
    gain = f32(10.0 ** float(f32(f32(level) / f32(20))))
    low, high = {1: (0, 255), 2: (-32768, 32767), 3: (-8388608, 8388607)}[width]
    offset = 127 if width == 1 else 0
    padding = DELAY if compensate else 0
    column = np.concatenate([values[:, 0], np.full(padding, offset)])
    filtered = notch(column, bandstop(int(f32(freq)), rate), offset, low, high)[padding:].astype(f32)
    sine = tone(len(filtered), freq, rate)
    if width == 1:
        t = (127.0 * (float(gain) * 0.999) * sine.astype(np.float64)).astype(f32)
        x = (filtered - f32(127)) + t
        new = np.clip(np.floor(x.astype(np.float64) + 0.5), -127, 128) + 127
    else:
        maximum = (1 << (8 * width - 1)) - 1
        t = (float(maximum) * (float(gain) * 0.999) * sine.astype(np.float64)).astype(f32)
        x = filtered + t
        new = np.clip(np.trunc(x.astype(np.float64) + 0.5), low, high)
    values[:, 0] = new.astype(np.int64)
    packed = (values & ((1 << (8 * width)) - 1)).astype("<u4").view(np.uint8).reshape(len(values), channels, 4)
    data = packed[:, :, :width].tobytes()
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(data) + (len(data) & 1), b"WAVE", b"fmt ", 16, 1,
                         channels, rate, rate * channels * width, channels * width, 8 * width, b"data", len(data))
    with open(target, "wb") as out:
        out.write(header + data + (b"\0" if len(data) & 1 else b""))


if __name__ == "__main__":
    main()
