#!/usr/bin/env python3
"""Writes the program's three gong sounds into data/gongs/.

16-bit PCM mono WAVE files at 22050 Hz, made of sine partials with an
exponential decay. Standard library only, so the files can be remade
anywhere; the results are committed so a fresh machine needs nothing.

    python3 scripts/make_gongs.py [output-folder]
"""

import math
import os
import struct
import sys
import wave

RATE = 22050
PEAK = 0.8 * 32767


def tone(freq, start, length, decay, total, partials=((1.0, 1.0), (2.0, 0.3), (3.0, 0.1))):
    """One struck note: a few harmonics, soft 5 ms attack, exponential decay."""
    out = [0.0] * total
    first = int(start * RATE)
    count = min(int(length * RATE), total - first)
    attack = int(0.005 * RATE)
    for i in range(count):
        t = i / RATE
        env = math.exp(-t / decay) * min(1.0, i / attack)
        v = 0.0
        for mult, amp in partials:
            v += amp * math.sin(2.0 * math.pi * freq * mult * t)
        out[first + i] += env * v
    return out


def mix(total, notes):
    buf = [0.0] * total
    for n in notes:
        for i, v in enumerate(n):
            buf[i] += v
    return buf


def fade_out(buf, seconds=0.05):
    n = int(seconds * RATE)
    for i in range(n):
        buf[-n + i] *= 1.0 - i / n
    return buf


def write(path, buf):
    top = max(abs(v) for v in buf) or 1.0
    scale = PEAK / top
    frames = b"".join(struct.pack("<h", int(round(v * scale))) for v in buf)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def chimes():
    # Three descending bell notes (E6, C6, G5), the timer gong.
    total = int(1.4 * RATE)
    bell = ((1.0, 1.0), (2.76, 0.25), (5.4, 0.08))
    notes = [
        tone(1318.5, 0.00, 1.4, 0.35, total, bell),
        tone(1046.5, 0.25, 1.15, 0.35, total, bell),
        tone(784.0, 0.50, 0.9, 0.40, total, bell),
    ]
    return fade_out(mix(total, notes))


def ding():
    # One clear bell stroke (A5).
    total = int(0.8 * RATE)
    bell = ((1.0, 1.0), (2.0, 0.2), (3.0, 0.05))
    return fade_out(mix(total, [tone(880.0, 0.0, 0.8, 0.22, total, bell)]))


def chord():
    # A C major chord (C5, E5, G5, C6) struck together, slightly spread.
    total = int(1.2 * RATE)
    notes = [
        tone(523.25, 0.00, 1.2, 0.40, total),
        tone(659.25, 0.01, 1.19, 0.40, total),
        tone(783.99, 0.02, 1.18, 0.40, total),
        tone(1046.5, 0.03, 1.17, 0.30, total),
    ]
    return fade_out(mix(total, notes))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "gongs")
    os.makedirs(folder, exist_ok=True)
    for name, make in (("chimes", chimes), ("ding", ding), ("chord", chord)):
        path = os.path.join(folder, name + ".wav")
        write(path, make())
        print(os.path.normpath(path), os.path.getsize(path), "bytes")


if __name__ == "__main__":
    main()
