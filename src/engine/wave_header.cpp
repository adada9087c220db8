#include "engine/wave_header.h"

namespace {

void PutTag(std::uint8_t* at, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) {
    at[i] = static_cast<std::uint8_t>(tag[i]);
  }
}

void PutU16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value & 0xFFU);
  at[1] = static_cast<std::uint8_t>(value >> 8U);
}

void PutU32(std::uint8_t* at, std::uint32_t value) {
  for (unsigned i = 0; i < 4; ++i) {
    at[i] = static_cast<std::uint8_t>((value >> (8U * i)) & 0xFFU);
  }
}

}  // namespace

WaveFormat EightBitMono(std::uint32_t sample_rate) {
  WaveFormat format;
  format.sample_rate = sample_rate;
  return format;
}

std::array<std::uint8_t, kWaveHeaderBytes> MakeWaveHeader(const WaveFormat& format,
                                                          std::uint32_t data_bytes) {
  std::array<std::uint8_t, kWaveHeaderBytes> header{};
  std::uint8_t* p = header.data();
  PutTag(p + 0, "RIFF");
  PutU32(p + 4, 36U + data_bytes);
  PutTag(p + 8, "WAVE");
  PutTag(p + 12, "fmt ");
  PutU32(p + 16, 16);
  PutU16(p + 20, format.format_tag);
  PutU16(p + 22, format.channels);
  PutU32(p + 24, format.sample_rate);
  PutU32(p + 28, static_cast<std::uint32_t>(format.block_align) * format.sample_rate);
  PutU16(p + 32, format.block_align);
  PutU16(p + 34, format.bits_per_sample);
  PutTag(p + 36, "data");
  PutU32(p + 40, data_bytes);
  return header;
}

bool WriteWaveHeader(std::FILE* file, const WaveFormat& format, std::uint32_t data_bytes) {
  const auto header = MakeWaveHeader(format, data_bytes);
  return std::fwrite(header.data(), 1, header.size(), file) == header.size();
}
