#pragma once

#include <cstddef>
#include <cstdint>

// The stream's raw format record: a WAVEFORMAT (14 bytes), a PCMWAVEFORMAT
// (16, adding the bits per sample) or a WAVEFORMATEX (18 or more).
inline constexpr std::size_t kFormatTagOffset = 0;
inline constexpr std::size_t kFormatChannelsOffset = 2;
inline constexpr std::size_t kFormatRateOffset = 4;
inline constexpr std::size_t kFormatBlockAlignOffset = 12;
inline constexpr std::size_t kFormatBitsOffset = 14;
inline constexpr std::size_t kWaveFormatBytes = 14;
inline constexpr std::size_t kPcmWaveFormatBytes = 16;
inline constexpr std::size_t kWaveFormatExBytes = 18;
inline constexpr std::uint16_t kPcmFormatTag = 1;
