// Loads each input as a WAVE file, runs the analysis on it, and checks that a
// saved clip reads back to the same samples.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "engine/clip_files.h"
#include "engine/sound_engine.h"
#include "engine/wave_reader.h"
#include "log/event_log.h"

namespace {

constexpr const char* kInputName = "input.wav";
constexpr const char* kSavedName = "saved.wav";

bool WriteInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(kInputName, "wb");
  if (file == nullptr) {
    return false;
  }
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SoundEngine engine(nullptr, nullptr);
  static SoundEngine reloaded(nullptr, nullptr);
  if (!WriteInput(data, size)) {
    std::abort();
  }
  LoadClip(engine, kInputName);
  if (engine.samples && engine.samples->size() < engine.sample_count) {
    std::abort();
  }
  if (engine.HasData() && SaveWave(engine, kSavedName)) {
    Reset(reloaded);
    ReadWaveFile(reloaded, kSavedName);
    if (reloaded.sample_rate != engine.sample_rate || reloaded.samples != engine.samples) {
      std::abort();
    }
  }
  // The logs would otherwise grow with every input.
  std::remove(kRoutineLogName);
  std::remove(kCriticalLogName);
  return 0;
}
