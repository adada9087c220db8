#!/usr/bin/env python3
"""Writes the small seed files of the AVI fuzzer into fuzz/seeds/avi/."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds", "avi")


def chunk(tag, body):
    data = tag + struct.pack("<I", len(body)) + body
    if len(body) % 2:
        data += b"\0"
    return data


def lst(kind, *children, tag=b"LIST"):
    return chunk(tag, kind + b"".join(children))


def pcm(channels, rate, bits, size=16, tag=1):
    align = channels * bits // 8
    body = struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits)
    return body.ljust(size, b"\0")[:size]


def strl(kind, fmt, length=0):
    strh = kind + b"\0" * 24 + struct.pack("<IIIII", 0, length, 0, 0, 0) + b"\0" * 8
    return lst(b"strl", chunk(b"strh", strh), chunk(b"strf", fmt))


def audio(fmt, length=0):
    return strl(b"auds", fmt, length)


VIDEO = strl(b"vids", b"\0" * 40)


def data(stream, body, kind=b"wb"):
    return chunk(b"%02d" % stream + kind, body)


def avi(streams, movi, *extra):
    hdrl = lst(b"hdrl", chunk(b"avih", b"\0" * 56), *streams)
    body = lst(b"AVI ", hdrl, lst(b"movi", *movi), chunk(b"idx1", b"\0" * 16), tag=b"RIFF")
    return body + b"".join(extra)


def shots(count, seed=0):
    return bytes(255 if (i + seed) % 40 < 6 and i % 2 == 0 else 128 + i % 3 for i in range(count))


SEEDS = {
    "mono8.avi": avi([audio(pcm(1, 22050, 8), 300)], [data(0, shots(150)), data(0, shots(150, 7))]),
    "stereo16.avi": avi([audio(pcm(2, 44100, 16, 18))], [data(0, shots(200))]),
    "waveformat14.avi": avi([audio(pcm(1, 8000, 8, 14))], [data(0, shots(99))]),
    "two_audio_video.avi": avi([VIDEO, audio(pcm(1, 8000, 8)), audio(pcm(1, 11025, 8))],
                               [data(0, b"\1" * 20, b"dc"), data(2, shots(50)),
                                data(1, shots(60))]),
    "rec_lists.avi": avi([audio(pcm(1, 8000, 8)), VIDEO],
                         [lst(b"rec ", data(0, shots(41)), data(1, b"\2" * 10, b"dc")),
                          chunk(b"JUNK", b"\0" * 3), lst(b"rec ", data(0, shots(40)))]),
    "opendml.avi": avi([audio(pcm(1, 8000, 8))], [data(0, shots(64))],
                       lst(b"AVIX", lst(b"movi", data(0, shots(64, 3))), tag=b"RIFF")),
    "compressed.avi": avi([audio(pcm(2, 44100, 16, 30, tag=0x55))], [data(0, shots(90))]),
    "truncated.avi": avi([audio(pcm(1, 8000, 8))], [data(0, shots(300))])[:260],
    "no_audio.avi": avi([VIDEO], [data(0, b"\3" * 30, b"dc")]),
}

os.makedirs(OUT, exist_ok=True)
for name, content in SEEDS.items():
    with open(os.path.join(OUT, name), "wb") as out:
        out.write(content)
