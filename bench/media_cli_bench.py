#!/usr/bin/env python3
"""End-to-end figures for tambrix-analyze on a 10-minute 48 kHz stereo AAC file.

Makes the file with FFmpeg's own "aac" encoder in a temporary directory, then
runs, alternately and ROUNDS times each, FFmpeg's own decode of it to nothing
("ffmpeg -i F -f null -") and the analyser on it. Prints the median wall and
CPU times of both, their ratio against the target of 1.5, and the analyser's
peak resident memory against the budget of the 8-bit samples plus 64 MiB.
Usage: bench/media_cli_bench.py [path/to/tambrix-analyze]
"""
import array
import math
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

from analyze_cli_bench import RATE, SECONDS, write_seconds

ROUNDS = 5
TARGET_RATIO = 1.5
BUDGET_EXTRA = 64 * 1024 * 1024


def one_second(rng):
    """A stereo second of quiet noise with 15 shots, ringing down, on the left;
    the right channel holds the same shots a little later and softer."""
    left = [rng.randint(-300, 300) for _ in range(RATE)]
    right = [rng.randint(-300, 300) for _ in range(RATE)]
    for shot in range(15):
        start = shot * RATE // 15
        for k in range(900):
            value = 30000.0 * math.exp(-k / 100.0) * math.sin(k * 0.3)
            left[start + k] = int(value)
            right[(start + k + 200) % RATE] = int(value / 2)
    frames = array.array("h", (v for pair in zip(left, right) for v in pair))
    if sys.byteorder != "little":
        frames.byteswap()
    return frames.tobytes()


def make_aac(work):
    wave = os.path.join(work, "long.wav")
    write_seconds(wave, one_second(random.Random(7)), 2)
    subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y", "-i", wave, "-c:a", "aac",
                    "long.m4a"], cwd=work, check=True)
    os.remove(wave)
    return "long.m4a"


def run(command, work):
    """Wall time, CPU time and peak resident bytes of one run."""
    started = time.perf_counter()
    child = subprocess.Popen(command, cwd=work, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - started
    if status != 0:
        sys.exit(f"{command[0]} failed with status {status}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss * 1024


def main():
    analyser = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/tambrix-analyze")
    with tempfile.TemporaryDirectory() as work:
        clip = make_aac(work)
        size = os.path.getsize(os.path.join(work, clip))
        ffmpeg_runs, analyser_runs = [], []
        for _ in range(ROUNDS):
            ffmpeg_runs.append(run(["ffmpeg", "-nostdin", "-i", clip, "-f", "null", "-"], work))
            analyser_runs.append(run([analyser, "--json", clip], work))
    samples = RATE * SECONDS
    budget = samples + BUDGET_EXTRA
    ffmpeg_wall = statistics.median(r[0] for r in ffmpeg_runs)
    analyser_wall = statistics.median(r[0] for r in analyser_runs)
    peak = max(r[2] for r in analyser_runs)
    ratio = analyser_wall / ffmpeg_wall
    print(f"file: 10 min, {RATE} Hz stereo AAC, {size / 2**20:.1f} MiB; {ROUNDS} rounds")
    for name, runs in (("ffmpeg -f null", ffmpeg_runs), ("tambrix-analyze", analyser_runs)):
        print(f"{name:16} wall {statistics.median(r[0] for r in runs):.2f} s, "
              f"cpu {statistics.median(r[1] for r in runs):.2f} s, "
              f"peak {max(r[2] for r in runs) / 2**20:.1f} MiB")
    print(f"ratio: {ratio:.2f} (target <= {TARGET_RATIO})")
    print(f"peak memory: {peak / 2**20:.1f} MiB (budget: 8-bit samples "
          f"{samples / 2**20:.1f} MiB + 64 MiB = {budget / 2**20:.1f} MiB) -> "
          f"{'within' if peak <= budget else 'OVER'} budget")
    return 0 if ratio <= TARGET_RATIO and peak <= budget else 1


if __name__ == "__main__":
    sys.exit(main())
