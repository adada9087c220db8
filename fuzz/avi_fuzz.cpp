// Arbitrary bytes as an AVI file: every audio stream the reader finds is read
// whole and in part, then the file is loaded as the Load command loads it
// (extraction into "tmp", read back, analysis). Works in the current
// directory.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "avi/avi_library.h"
#include "avi/riff_avi_library.h"
#include "engine/clip_files.h"
#include "engine/sound_engine.h"
#include "fuzz_input.h"

namespace {

constexpr const char* kInputName = "fuzz-input.avi";
constexpr std::int32_t kStreamsTried = 4;

// What the reader reports must fit in the file and be delivered in full.
void Check(bool holds) {
  if (!holds) {
    __builtin_trap();
  }
}

void ReadStream(RiffAviLibrary& library, AviStream* stream, std::size_t file_size) {
  AviStreamInfo info;
  library.StreamInfo(stream, info);
  std::int32_t format_size = -1;
  Check(library.StreamReadFormat(stream, library.StreamStart(stream), nullptr, &format_size) ==
        kAviOk);
  Check(format_size >= 0 && static_cast<std::size_t>(format_size) <= file_size);
  std::vector<std::uint8_t> format(static_cast<std::size_t>(format_size));
  library.StreamReadFormat(stream, 0, format.data(), &format_size);
  library.StreamLength(stream);

  std::int32_t bytes = -1;
  std::int32_t samples = -1;
  if (library.StreamRead(stream, 0, kAviStreamReadConvenient, nullptr, 0, &bytes, &samples) !=
      kAviOk) {
    return;
  }
  Check(bytes >= 0 && static_cast<std::size_t>(bytes) <= file_size && samples >= 0);
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(bytes));
  std::int32_t delivered = -1;
  Check(library.StreamRead(stream, 0, kAviStreamReadConvenient, buffer.data(), bytes, &delivered,
                           nullptr) == kAviOk &&
        delivered == bytes);
  library.StreamRead(stream, samples / 2, 3, buffer.data(), bytes, &delivered, nullptr);
}

void ReadAllStreams(std::size_t file_size) {
  RiffAviLibrary library;
  AviFile* file = nullptr;
  if (library.FileOpen(&file, kInputName) != kAviOk) {
    return;
  }
  for (std::int32_t occurrence = 0; occurrence < kStreamsTried; ++occurrence) {
    AviStream* stream = nullptr;
    if (library.FileGetStream(file, &stream, kStreamTypeAudio, occurrence) != kAviOk) {
      break;
    }
    ReadStream(library, stream, file_size);
    library.StreamRelease(stream);
  }
  library.FileRelease(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SoundEngine engine(nullptr, nullptr);
  if (!WriteFuzzInput(kInputName, data, size)) {
    __builtin_trap();
  }
  ReadAllStreams(size);
  LoadClip(engine, kInputName);
  // The clip came from the bytes of this file: never more samples than it has.
  Check(!engine.samples || engine.samples->size() <= size);
  KeepFuzzLogsSmall();
  return 0;
}
