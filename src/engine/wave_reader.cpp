#include "engine/wave_reader.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "engine/sound_engine.h"
#include "engine/wave_layout.h"
#include "engine/wave_samples.h"
#include "log/event_log.h"
#include "riff/regular_file.h"

namespace {

struct DumpLine {
  int tabs;
  const char* label;
  std::int32_t value;
};

// Eight lines, each "<tabs><label>: <value> " and a line feed.
std::string HeaderDump(const WaveFormatFields& format, std::uint32_t data_size_as_read) {
  const DumpLine lines[] = {
      {0, "format_len", static_cast<std::int32_t>(format.format_len)},
      {12, "format_tag", static_cast<std::int16_t>(format.format_tag)},
      {12, "channels", static_cast<std::int16_t>(format.channels)},
      {13, "sample_rate", static_cast<std::int32_t>(format.sample_rate)},
      {12, "avm_bytes", static_cast<std::int32_t>(format.avm_bytes)},
      {12, "blockalign", static_cast<std::int16_t>(format.blockalign)},
      {12, "bits_persample", static_cast<std::int16_t>(format.bits_persample)},
      {11, "secondid", static_cast<std::int32_t>(data_size_as_read)},
  };
  std::string dump;
  for (const DumpLine& line : lines) {
    dump.append(static_cast<std::size_t>(line.tabs), '\t');
    dump.append(line.label).append(": ").append(std::to_string(line.value)).append(" \n");
  }
  return dump;
}

// Only the first channel of each frame is kept: one sample per frame.
void ReadSamples(SoundEngine& engine, FileWindow& file, const WaveLayout& layout) {
  const WaveFormatFields& format = layout.format;
  const std::uint32_t channels = std::max<std::uint32_t>(format.channels, 1);
  if (format.bits_persample == 8) {
    WriteLogEntry(LogTarget::Routine, "8 bit wave file");
    const std::uint32_t frames = layout.data_size / channels;
    engine.sample_count = frames;
    engine.samples = ReadEightBitSamples(file, layout.data_offset, frames, channels);
  } else if (format.bits_persample == 16) {
    WriteLogEntry(LogTarget::Critical, "16 bit wave file");
    const std::uint32_t frame_bytes = 2 * channels;
    const std::uint32_t frames = layout.data_size / frame_bytes;
    engine.sample_count = frames;
    engine.samples = ReadSixteenBitSamples(file, layout.data_offset, frames, frame_bytes);
  }
}

void ReadOpenedWave(SoundEngine& engine, std::FILE* opened) {
  FileWindow file(opened);
  const WaveLayout layout = ReadWaveLayout(file);
  if (layout.status == WaveLayoutStatus::NotRiff) {
    WriteFailureEntry(kNotRiff);
    return;
  }
  if (layout.status == WaveLayoutStatus::NotWave) {
    WriteFailureEntry(kNotWave);
    return;
  }
  const WaveFormatFields& format = layout.format;
  engine.sample_rate = format.sample_rate;
  for (const bool data_follows : layout.fillers) {
    WriteLogEntry(LogTarget::Routine, "loading filler data");
    if (data_follows) {
      WriteLogEntry(LogTarget::Routine, "Data format was valid, now reading file size");
    }
  }
  engine.sample_count = layout.data_size;
  WriteLogEntry(LogTarget::Routine, HeaderDump(format, layout.data_size_as_read));
  if (format.channels != 1) {
    WriteFailureEntry(kNotSingleChannel);
  }
  if (format.format_tag != 1) {
    WriteFailureEntry(kIncorrectFormatTag);
  }

  ReadSamples(engine, file, layout);
}

}  // namespace

void ReadWaveFile(SoundEngine& engine, std::FILE* file) {
  engine.samples.reset();
  if (file == nullptr) {
    WriteFailureEntry("Failed To Find .wav File");
  } else {
    ReadOpenedWave(engine, file);
  }
  if (engine.sample_rate != 0) {
    engine.clip_length = engine.sample_count / engine.sample_rate;
  }
}

bool ReadWaveFile(SoundEngine& engine, const std::string& path) {
  const OwnedFile file(OpenRegularFileForReading(path));
  ReadWaveFile(engine, file.get());
  return true;
}
