#!/usr/bin/env python3
"""Writes the three notification sounds: short 16-bit mono RIFF/WAVE files.

101: two soft notes, a file turned out to be a web page.
102: three rising notes, the whole list has finished.
103: a low double buzz, an item ended in error.
"""
import math
import struct
import wave
from pathlib import Path

RATE = 22050


def tone(freq, seconds, volume=0.45, shape="sine"):
    n = int(RATE * seconds)
    out = []
    for i in range(n):
        t = i / RATE
        # short attack, exponential decay: no clicks at either end
        env = min(1.0, i / (0.01 * RATE)) * math.exp(-3.0 * t / seconds)
        if shape == "sine":
            s = math.sin(2 * math.pi * freq * t) + 0.3 * math.sin(4 * math.pi * freq * t)
        else:
            s = 1.0 if math.sin(2 * math.pi * freq * t) > 0 else -1.0
            s *= 0.5
        out.append(volume * env * s / 1.3)
    return out


def silence(seconds):
    return [0.0] * int(RATE * seconds)


def write(path, samples):
    with wave.open(str(path), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 32767)) for s in samples))


here = Path(__file__).resolve().parent / "sounds"
here.mkdir(exist_ok=True)
write(here / "101.wav", tone(880, 0.18) + tone(660, 0.30))
write(here / "102.wav", tone(523, 0.14) + tone(659, 0.14) + tone(784, 0.36))
write(here / "103.wav", tone(196, 0.16, 0.35, "square") + silence(0.06) + tone(196, 0.22, 0.35, "square"))
