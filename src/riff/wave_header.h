#pragma once

#include <array>
#include <cstdint>

// The one 44-byte RIFF/WAVE header that every writer in the program uses:
// "RIFF", size, "WAVE", a 16-byte "fmt " chunk, "data", size.
inline constexpr std::size_t kWaveHeaderBytes = 44;

// Beyond these, a sound's rate is a corrupt header, not sound.
inline constexpr std::uint32_t kMinSoundRate = 1000;
inline constexpr std::uint32_t kMaxSoundRate = 768000;

struct WaveFormat {
  std::uint16_t format_tag = 1;  // PCM
  std::uint16_t channels = 1;
  std::uint32_t sample_rate = 0;
  std::uint16_t block_align = 1;
  std::uint16_t bits_per_sample = 8;
};

// 8-bit mono PCM at `sample_rate`: what Save, a recording and the AVI import
// write unless the AVI stream says otherwise.
WaveFormat EightBitMono(std::uint32_t sample_rate);
// 16-bit mono PCM: what decoded media sound is written as.
WaveFormat SixteenBitMono(std::uint32_t sample_rate);

// The header bytes; the RIFF size is 36 + data_bytes (wrapping at 2^32) and the
// bytes-per-second field is block_align × sample_rate.
std::array<std::uint8_t, kWaveHeaderBytes> MakeWaveHeader(const WaveFormat& format,
                                                          std::uint32_t data_bytes);
