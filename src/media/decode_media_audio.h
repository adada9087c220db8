#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "media/media_input.h"

class ReplacementFile;

// The most 16-bit samples a WAVE file's 32-bit sizes can hold.
inline constexpr std::uint64_t kMaxWaveSixteenBitSamples = (UINT32_MAX - 36U) / 2U;

// Opens `path` as media without logging anything: null when it is no regular
// file or no demuxer recognises it.
std::unique_ptr<MediaInput> OpenMediaFile(const std::string& path);

// Decodes the first channel of the media's audio stream (the first one the
// container marks as default, else the first) at its own rate into `wave` as
// a 16-bit mono WAVE file, block by block, and commits it. The container and
// codec go to the routine log, every problem to the critical log. False, with
// the failure logged, when there is no sound to read: no audio stream, no
// decoder, an absurd format, a file corrupt before its end, or a write that
// failed. A file cut short keeps the sound before the cut; sound beyond
// `max_samples` is left out. Both are logged.
bool DecodeMediaAudio(MediaInput& input, ReplacementFile& wave,
                      std::uint64_t max_samples = kMaxWaveSixteenBitSamples);
