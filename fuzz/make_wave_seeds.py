#!/usr/bin/env python3
"""Writes the small seed files of the WAVE fuzzer into fuzz/seeds/wave/."""
import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds", "wave")


def chunk(tag, body, pad=True):
    data = tag + struct.pack("<I", len(body)) + body
    if pad and len(body) % 2:
        data += b"\0"
    return data


def fmt(channels, rate, bits, tag=1, length=16):
    align = channels * bits // 8
    body = struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits)
    return chunk(b"fmt ", body.ljust(length, b"\0"))


def wave(*chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def shots8(count):
    return bytes(255 if i % 40 < 6 and i % 2 == 0 else 128 + i % 3 for i in range(count))


def shots16(count):
    values = [int(20000 * math.sin(i)) if i % 40 < 6 else (i % 5) * 10 for i in range(count)]
    return struct.pack("<%dh" % count, *values)


SEEDS = {
    "plain8.wav": wave(fmt(1, 8000, 8), chunk(b"data", shots8(160))),
    "plain16.wav": wave(fmt(1, 8000, 16), chunk(b"data", shots16(80))),
    "stereo16.wav": wave(fmt(2, 8000, 16), chunk(b"data", shots16(80))),
    "filler.wav": wave(fmt(1, 11025, 8), chunk(b"FLLR", b"xyz", pad=False),
                       chunk(b"data", shots8(120))),
    "extensible.wav": wave(fmt(1, 8000, 16, tag=0xFFFE, length=40),
                           chunk(b"data", shots16(60))),
    "list.wav": wave(fmt(1, 8000, 8, length=18), chunk(b"LIST", b"INFOISFT\x05\0\0\0test"),
                     chunk(b"data", shots8(100))),
    "truncated.wav": wave(fmt(1, 8000, 8), chunk(b"data", shots8(200)))[:120],
}

os.makedirs(OUT, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(OUT, name), "wb") as out:
        out.write(data)
