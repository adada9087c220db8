#pragma once

#include <cstdint>
#include <vector>

#include "riff/file_window.h"

// Where the parts of a RIFF/WAVE file lie, found without logging anything so
// that the reader can log the path it took exactly once.

// The 16 bytes of format fields at offset 20, as read.
struct WaveFormatFields {
  std::uint32_t format_len = 0;
  std::uint16_t format_tag = 0;
  std::uint16_t channels = 0;
  std::uint32_t sample_rate = 0;
  std::uint32_t avm_bytes = 0;
  std::uint16_t blockalign = 0;
  std::uint16_t bits_persample = 0;
};

enum class WaveLayoutStatus { Valid, NotRiff, NotWave };

// What a file's layout and format are faulted with, by the reader in its log
// and by the analyser's stream reader.
inline constexpr const char* kNotRiff = "not a RIFF file";
inline constexpr const char* kNotWave = "RIFF file but not a wave file";
inline constexpr const char* kNotSingleChannel = "Can Only Load Single Channel *.wav Files";
inline constexpr const char* kIncorrectFormatTag = "Incorrect Format Tag";

struct WaveLayout {
  WaveLayoutStatus status = WaveLayoutStatus::NotRiff;
  WaveFormatFields format;
  // One entry per filler chunk passed on the way to the data: whether the
  // chunk right after it is tagged "data".
  std::vector<bool> fillers;
  std::uint32_t data_size_as_read = 0;
  std::uint64_t data_offset = 0;
  // The data size cut down to the bytes the file holds from data_offset on.
  std::uint32_t data_size = 0;
};

// Reads `count` bytes at `offset`; bytes the file doesn't have are 0.
void ReadWaveBytes(FileWindow& file, std::uint64_t offset, std::uint8_t* out, std::size_t count);

// The header checks, the format fields and the data chunk: found by walking
// the chunk list from the end of the format chunk, or, when that finds no
// "data" chunk, at the fixed offsets of the plain layout (36, or after one
// leading "FLLR" chunk).
WaveLayout ReadWaveLayout(FileWindow& file);
