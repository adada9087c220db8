#pragma once

#include <cstdint>
#include <vector>

#include "riff/file_window.h"

// Turning WAVE sample data into the engine's unsigned 8-bit samples. Only the
// first channel of each frame is taken, so a clip has one sample per frame.

// The 16-bit scale: 32767 / largest, rounded to a float.
float SixteenBitScale(std::int16_t largest);

enum class SampleRange : std::uint8_t { Within, Above, Below };

struct ConvertedSample {
  std::uint8_t value = 0;
  SampleRange range = SampleRange::Within;
};

// One 16-bit value on the 8-bit scale: largest → 255, 0 → 127, −largest → 0.
ConvertedSample ConvertSixteenBitValue(std::int16_t value, float scale);

// The first byte of each of `frame_count` frames of `frame_bytes` bytes from
// `offset`. Throws std::bad_alloc when the buffer can't be had.
std::vector<std::uint8_t> ReadEightBitSamples(FileWindow& file, std::uint64_t offset,
                                              std::uint32_t frame_count, std::uint32_t frame_bytes);

// The first 16-bit value of each frame, converted; each value out of range
// writes its own critical-log line, in order. Throws std::bad_alloc when the
// buffer can't be had.
std::vector<std::uint8_t> ReadSixteenBitSamples(FileWindow& file, std::uint64_t offset,
                                                std::uint32_t frame_count,
                                                std::uint32_t frame_bytes);
