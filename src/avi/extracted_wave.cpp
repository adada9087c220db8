#include "avi/extracted_wave.h"

#include "avi/wave_format_record.h"
#include "riff/little_endian.h"
#include "riff/replacement_file.h"

namespace {

constexpr unsigned kBitsPerByte = 8;

}  // namespace

WaveFormat ExtractedWaveFormat(std::span<const std::uint8_t> record) {
  const WaveFormat fallback = EightBitMono(kExtractedDefaultRate);
  if (record.size() < kWaveFormatBytes || LoadU16Le(&record[kFormatTagOffset]) != kPcmFormatTag) {
    return fallback;
  }
  WaveFormat format;  // PCM
  format.channels = LoadU16Le(&record[kFormatChannelsOffset]);
  format.sample_rate = LoadU32Le(&record[kFormatRateOffset]);
  format.block_align = LoadU16Le(&record[kFormatBlockAlignOffset]);
  if (format.channels == 0 || format.sample_rate == 0 || format.block_align == 0) {
    return fallback;
  }
  const std::uint16_t bits =
      record.size() >= kPcmWaveFormatBytes ? LoadU16Le(&record[kFormatBitsOffset]) : 0;
  const unsigned derived_bits = format.block_align / format.channels * kBitsPerByte;
  if (bits == 0 && (derived_bits == 0 || derived_bits > UINT16_MAX)) {
    return fallback;
  }
  format.bits_per_sample = bits != 0 ? bits : static_cast<std::uint16_t>(derived_bits);
  return format;
}

bool WriteExtractedWave(ReplacementFile& wave, std::span<const std::uint8_t> sound,
                        const WaveFormat& format) {
  const auto header = MakeWaveHeader(format, static_cast<std::uint32_t>(sound.size()));
  wave.Write(header.data(), header.size());
  wave.Write(sound.data(), sound.size());
  return wave.Commit();
}
