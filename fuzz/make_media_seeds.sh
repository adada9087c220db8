#!/usr/bin/env bash
# Writes the small seed files of the media fuzzer into fuzz/seeds/media/ with
# FFmpeg's own encoders: a tenth of a second of tone in each common coding.
set -euo pipefail
out=$(dirname "$0")/seeds/media
mkdir -p "$out"
tone=(-f lavfi -i "sine=frequency=1000:duration=0.1:sample_rate=8000")
encode() { ffmpeg -nostdin -v error -y "${tone[@]}" "$@"; }
encode -c:a flac "$out/tone.flac"
encode -c:a libmp3lame -b:a 32k "$out/tone.mp3"
encode -ar 48000 -c:a libopus -b:a 16k "$out/tone.opus"
encode -c:a aac -b:a 24k "$out/tone.m4a"
encode -c:a libvorbis "$out/tone.webm"
encode -ac 2 -c:a pcm_s16le "$out/stereo.mkv"
encode -c:a adpcm_ms "$out/adpcm.avi"
encode -c:a pcm_mulaw "$out/tone.au"
