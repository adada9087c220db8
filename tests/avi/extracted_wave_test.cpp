#include "avi/extracted_wave.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "avi/avi_writer.h"

namespace {

using avi_test::Bytes;
using avi_test::PcmFormat;

bool Same(const WaveFormat& a, const WaveFormat& b) {
  return a.format_tag == b.format_tag && a.channels == b.channels &&
         a.sample_rate == b.sample_rate && a.block_align == b.block_align &&
         a.bits_per_sample == b.bits_per_sample;
}

WaveFormat Pcm(std::uint16_t channels, std::uint32_t rate, std::uint16_t block_align,
               std::uint16_t bits) {
  WaveFormat format;
  format.channels = channels;
  format.sample_rate = rate;
  format.block_align = block_align;
  format.bits_per_sample = bits;
  return format;
}

Bytes WithU16(Bytes record, std::size_t offset, std::uint16_t value) {
  record[offset] = static_cast<std::uint8_t>(value & 0xFF);
  record[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  return record;
}

TEST(ExtractedWaveFormat, TakesPcmFieldsAndFallsBackToEightBitMono) {
  const WaveFormat fallback = EightBitMono(22050);
  struct Case {
    std::string name;
    Bytes record;
    WaveFormat expected;
  };
  const std::vector<Case> cases = {
      {"PCMWAVEFORMAT", PcmFormat(2, 44100, 16), Pcm(2, 44100, 4, 16)},
      {"WAVEFORMATEX", PcmFormat(1, 48000, 16, 18), Pcm(1, 48000, 2, 16)},
      {"WAVEFORMAT: bits from block align", PcmFormat(2, 11025, 8, 14), Pcm(2, 11025, 2, 8)},
      {"bits 0: from block align", WithU16(PcmFormat(1, 8000, 16), 14, 0), Pcm(1, 8000, 2, 16)},
      {"compressed", PcmFormat(2, 44100, 16, 20, 0x55), fallback},
      {"too short", PcmFormat(2, 44100, 16, 12), fallback},
      {"no channels", WithU16(PcmFormat(1, 44100, 16), 2, 0), fallback},
      {"rate 0", PcmFormat(1, 0, 16), fallback},
      {"block align 0", WithU16(PcmFormat(1, 44100, 16), 12, 0), fallback},
      {"block align below channels, no bits", WithU16(PcmFormat(4, 44100, 0, 14), 12, 2), fallback},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Same(ExtractedWaveFormat(c.record.data(), c.record.size()), c.expected)) << c.name;
  }
  EXPECT_TRUE(Same(ExtractedWaveFormat(nullptr, 0), fallback));
}

}  // namespace
