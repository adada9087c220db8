#!/usr/bin/env python3
"""End-to-end figures for tambrix-analyze on a 10-minute 48 kHz 16-bit file.

Writes the file into a temporary directory, runs the analyser on it there and
prints the wall time and the peak resident memory of the analyser, against the
budget of the 8-bit samples plus 64 MiB.
Usage: bench/analyze_cli_bench.py [path/to/tambrix-analyze]
"""
import array
import math
import os
import random
import resource
import struct
import subprocess
import sys
import tempfile
import time

RATE = 48000
SECONDS = 600
BUDGET_EXTRA = 64 * 1024 * 1024


def one_second(rng):
    """A second of quiet noise with 15 shots: clipped bursts that ring down."""
    second = array.array("h", (rng.randint(-300, 300) for _ in range(RATE)))
    for shot in range(15):
        start = shot * RATE // 15
        for k in range(900):
            envelope = 60000.0 * math.exp(-k / 100.0)
            value = int(envelope * math.sin(k * 1.9))
            # -32768 would cost a log line per sample; real clips rarely sit there.
            second[start + k] = max(-32767, min(32767, value))
    if sys.byteorder != "little":
        second.byteswap()
    return second.tobytes()


def write_seconds(path, second, channels):
    """A 16-bit WAVE file of SECONDS copies of `second` (frames of `channels`),
    written a second at a time: this process stays small, since the peak
    memory of a child can include pages it shared with its parent."""
    data_bytes = len(second) * SECONDS
    block = 2 * channels
    with open(path, "wb") as out:
        out.write(b"RIFF" + struct.pack("<I", 36 + data_bytes) + b"WAVE")
        out.write(b"fmt " + struct.pack("<IHHIIHH", 16, 1, channels, RATE, RATE * block, block, 16))
        out.write(b"data" + struct.pack("<I", data_bytes))
        for _ in range(SECONDS):
            out.write(second)
    return data_bytes // block


def write_clip(path):
    return write_seconds(path, one_second(random.Random(7)), 1)


def main():
    analyser = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/tambrix-analyze")
    with tempfile.TemporaryDirectory() as work:
        samples = write_clip(os.path.join(work, "long.wav"))
        started = time.perf_counter()
        result = subprocess.run([analyser, "--json", "long.wav"], cwd=work,
                                capture_output=True, text=True, check=False)
        wall = time.perf_counter() - started
        peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss * 1024
    budget = samples + BUDGET_EXTRA
    print(f"file: 10 min, {RATE} Hz, 16-bit mono, {samples * 2 / 2**20:.1f} MiB of data")
    print(f"exit status: {result.returncode}")
    print(f"wall time: {wall:.2f} s")
    print(f"peak memory: {peak / 2**20:.1f} MiB "
          f"(budget: 8-bit samples {samples / 2**20:.1f} MiB + 64 MiB = {budget / 2**20:.1f} MiB)"
          f" -> {'within' if peak <= budget else 'OVER'} budget")
    print(result.stdout[:400])
    return 0 if result.returncode == 0 and peak <= budget else 1


if __name__ == "__main__":
    sys.exit(main())
