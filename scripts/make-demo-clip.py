#!/usr/bin/env python3
"""Writes the bundled demo clip: a synthetic string of shots, 8-bit mono WAVE.

Each shot is a clipped burst that rings down into quiet background noise; the
marker speeds up from about 10 to 15 balls per second over the clip.
Usage: scripts/make-demo-clip.py [output.wav]
"""
import math
import random
import sys
import wave

SAMPLE_RATE = 22050
SECONDS = 6
OUTPUT = sys.argv[1] if len(sys.argv) > 1 else "resources/demo/demo-clip.wav"


def main():
    rng = random.Random(20261206)
    count = SAMPLE_RATE * SECONDS
    samples = [128 + rng.randint(-2, 2) for _ in range(count)]
    position = SAMPLE_RATE // 2
    while position < count - SAMPLE_RATE // 4:
        progress = position / count
        rate = 10.0 + 5.0 * progress + rng.uniform(-0.4, 0.4)
        for k in range(400):
            if position + k >= count:
                break
            envelope = 300.0 * math.exp(-k / 45.0)
            value = 128 + envelope * math.sin(k * 1.9 + rng.uniform(-0.3, 0.3))
            samples[position + k] = max(0, min(255, int(value)))
        position += int(SAMPLE_RATE / rate)
    with wave.open(OUTPUT, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(1)
        out.setframerate(SAMPLE_RATE)
        out.writeframes(bytes(samples))


if __name__ == "__main__":
    main()
