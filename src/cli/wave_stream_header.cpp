#include "cli/wave_stream_header.h"

#include <cstring>
#include <vector>

#include "engine/wave_layout.h"
#include "riff/chunk_walk.h"
#include "riff/file_window.h"
#include "riff/wave_header.h"

namespace {

constexpr std::size_t kRiffWaveIdBytes = 12;
// A pipe's writer can't know the data size: these say "until the end".
constexpr std::uint32_t kUnknownDataBytes = 0xFFFFFFFFU;

StreamHeader Bad(std::string error) {
  StreamHeader header;
  header.state = HeaderState::Bad;
  header.error = std::move(error);
  return header;
}

// The layout may take a chunk on trust where the walk found no data chunk;
// in a stream that only means the data chunk hasn't arrived yet.
bool DataChunkArrived(std::span<const std::uint8_t> bytes, const WaveLayout& layout) {
  return layout.data_offset <= bytes.size() &&
         std::memcmp(bytes.data() + layout.data_offset - kChunkHeaderBytes, "data",
                     kListTypeBytes) == 0;
}

// The format problems the WAVE reader names use its own words.
std::string FormatError(const WaveFormatFields& format) {
  if (format.channels != 1) {
    return kNotSingleChannel;
  }
  if (format.format_tag != 1) {
    return kIncorrectFormatTag;
  }
  if (format.bits_persample != 8 && format.bits_persample != 16) {
    return "samples of " + std::to_string(format.bits_persample) + " bits: only 8 and 16 are read";
  }
  if (format.sample_rate < kMinSoundRate || format.sample_rate > kMaxSoundRate) {
    return "a sample rate of " + std::to_string(format.sample_rate) + " is not sound (" +
           std::to_string(kMinSoundRate) + " to " + std::to_string(kMaxSoundRate) + ")";
  }
  return "";
}

}  // namespace

StreamHeader ReadStreamHeader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kRiffWaveIdBytes) {
    return {};
  }
  FileWindow window(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  const WaveLayout layout = ReadWaveLayout(window);
  if (layout.status == WaveLayoutStatus::NotRiff) {
    return Bad(kNotRiff);
  }
  if (layout.status == WaveLayoutStatus::NotWave) {
    return Bad(kNotWave);
  }
  if (!DataChunkArrived(bytes, layout)) {
    return bytes.size() < kMaxStreamHeaderBytes
               ? StreamHeader{}
               : Bad("no data chunk in the first " + std::to_string(kMaxStreamHeaderBytes) +
                     " bytes");
  }
  const std::string error = FormatError(layout.format);
  if (!error.empty()) {
    return Bad(error);
  }
  StreamHeader header;
  header.state = HeaderState::Ready;
  header.format.sample_rate = layout.format.sample_rate;
  header.format.sample_bytes = layout.format.bits_persample / 8U;
  header.format.data_offset = layout.data_offset;
  const std::uint32_t size = layout.data_size_as_read;
  if (size != 0 && size != kUnknownDataBytes) {
    header.format.data_bytes = size;
  }
  return header;
}
