#include "riff/wave_header.h"

#include "riff/little_endian.h"

namespace {

void PutTag(std::uint8_t* at, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) {
    at[i] = static_cast<std::uint8_t>(tag[i]);
  }
}

}  // namespace

WaveFormat EightBitMono(std::uint32_t sample_rate) {
  WaveFormat format;
  format.sample_rate = sample_rate;
  return format;
}

WaveFormat SixteenBitMono(std::uint32_t sample_rate) {
  WaveFormat format = EightBitMono(sample_rate);
  format.block_align = 2;
  format.bits_per_sample = 16;
  return format;
}

std::array<std::uint8_t, kWaveHeaderBytes> MakeWaveHeader(const WaveFormat& format,
                                                          std::uint32_t data_bytes) {
  std::array<std::uint8_t, kWaveHeaderBytes> header{};
  std::uint8_t* p = header.data();
  PutTag(p + 0, "RIFF");
  StoreU32Le(p + 4, 36U + data_bytes);
  PutTag(p + 8, "WAVE");
  PutTag(p + 12, "fmt ");
  StoreU32Le(p + 16, 16);
  StoreU16Le(p + 20, format.format_tag);
  StoreU16Le(p + 22, format.channels);
  StoreU32Le(p + 24, format.sample_rate);
  StoreU32Le(p + 28, static_cast<std::uint32_t>(format.block_align) * format.sample_rate);
  StoreU16Le(p + 32, format.block_align);
  StoreU16Le(p + 34, format.bits_per_sample);
  PutTag(p + 36, "data");
  StoreU32Le(p + 40, data_bytes);
  return header;
}
