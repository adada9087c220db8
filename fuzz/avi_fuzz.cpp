// Arbitrary bytes as an AVI file: every audio stream the reader finds is read
// whole and in part, then the file is loaded as the Load command loads it
// (extraction into "tmp", read back, analysis). Works in the current
// directory.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "avi/avi_reader.h"
#include "avi/extract_avi_audio.h"
#include "engine/clip_files.h"
#include "engine/sound_engine.h"
#include "fuzz_input.h"

namespace {

constexpr const char* kInputName = "fuzz-input.avi";
constexpr std::uint32_t kStreamsTried = 4;

// What the reader reports must fit in the file and be delivered in full.
void Check(bool holds) {
  if (!holds) {
    __builtin_trap();
  }
}

void ReadStream(AviReader& reader, const AviAudioStream& stream, std::size_t file_size) {
  Check(stream.format.size() <= file_size && stream.data_bytes <= file_size);
  Check(stream.SampleBytes() != 0);
  std::vector<std::uint8_t> data(stream.data_bytes);
  Check(reader.ReadData(stream, data) == data.size());
  const std::size_t prefix = data.size() / 2;
  std::vector<std::uint8_t> part(prefix);
  Check(reader.ReadData(stream, part) == prefix &&
        std::equal(part.begin(), part.end(), data.begin()));
}

void ReadAllStreams(std::size_t file_size) {
  std::optional<AviReader> reader = AviReader::Open(kInputName);
  for (std::uint32_t occurrence = 0; reader && occurrence < kStreamsTried; ++occurrence) {
    const std::optional<AviAudioStream> stream = reader->FindAudioStream(occurrence);
    if (!stream) {
      break;
    }
    ReadStream(*reader, *stream, file_size);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SoundEngine engine(nullptr, nullptr);
  if (!WriteFuzzInput(kInputName, data, size)) {
    __builtin_trap();
  }
  ReadAllStreams(size);
  LoadClip(engine, kInputName);
  // PCM sound is copied from the bytes of this file: never more samples than
  // it has. Compressed sound is decoded and may give more.
  Check(!engine.samples || engine.samples->size() <= size ||
        FirstAviSoundCoding(kInputName) == AviSoundCoding::Compressed);
  KeepFuzzLogsSmall();
  return 0;
}
