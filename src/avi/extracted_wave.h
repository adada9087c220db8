#pragma once

#include <cstdint>
#include <span>

#include "riff/wave_header.h"

class ReplacementFile;

// Rate of the header when the stream's own format can't be used.
inline constexpr std::uint32_t kExtractedDefaultRate = 22050;

// The header format of the extracted sound. A PCM record (tag 1) of at least
// 14 bytes gives the stream's own rate, channels, bits and block align, so
// 16-bit, stereo or 44.1 kHz sound keeps its timing; a 14-byte record has no
// bits field, which then follows from block align and channels. Anything else
// (compressed audio, no record, fields of 0) is labelled 8-bit mono at
// 22050 samples per second.
WaveFormat ExtractedWaveFormat(std::span<const std::uint8_t> record);

// Writes the 44-byte header followed by the sound into `wave` and commits
// it. False when the file could not be made or any write failed.
bool WriteExtractedWave(ReplacementFile& wave, std::span<const std::uint8_t> sound,
                        const WaveFormat& format);
