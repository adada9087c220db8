// Arbitrary bytes as a media file, held in memory: opened by the demuxers,
// decoded into "tmp" and read back. The WAVE file written must describe
// exactly the samples read back from it.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "engine/sound_engine.h"
#include "engine/wave_reader.h"
#include "fuzz_input.h"
#include "media/decode_media_audio.h"
#include "riff/regular_file.h"
#include "riff/replacement_file.h"
#include "riff/wave_header.h"

namespace {

void Check(bool holds) {
  if (!holds) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SoundEngine engine(nullptr, nullptr);
  static const int memory_file = ::memfd_create("media-input", MFD_CLOEXEC);
  Check(memory_file >= 0 && ::ftruncate(memory_file, 0) == 0 &&
        ::pwrite(memory_file, data, size, 0) == static_cast<ssize_t>(size));
  const auto media = OpenMediaFile("/proc/self/fd/" + std::to_string(memory_file));
  if (media) {
    ReplacementFile wave("tmp");
    if (DecodeMediaAudio(*media, wave)) {
      Reset(engine);
      ReadWaveFile(engine, wave.Committed());
      Check(RegularFileSize(wave.Committed()) == kWaveHeaderBytes + 2ULL * engine.sample_count);
    }
  }
  KeepFuzzLogsSmall();
  return 0;
}
