// Loads each input as a WAVE file, runs both detectors on it, and checks that
// a saved clip reads back to the same samples.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "engine/clip_files.h"
#include "engine/detector.h"
#include "engine/sound_engine.h"
#include "engine/wave_reader.h"
#include "fuzz_input.h"

namespace {

constexpr const char* kInputName = "input.wav";
constexpr const char* kSavedName = "saved.wav";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SoundEngine engine(nullptr, nullptr);
  static SoundEngine reloaded(nullptr, nullptr);
  if (!WriteFuzzInput(kInputName, data, size)) {
    std::abort();
  }
  LoadClip(engine, kInputName);
  if (engine.samples && engine.samples->size() < engine.sample_count) {
    std::abort();
  }
  // The robust detector on the same samples: every shot inside the clip.
  if (engine.HasData() && AnalyseAgain(engine, Detector::Robust)) {
    for (const ShotRecord& shot : engine.shots) {
      if (shot.position >= engine.sample_count) {
        std::abort();
      }
    }
  }
  if (engine.HasData() && SaveWave(engine, kSavedName)) {
    Reset(reloaded);
    ReadWaveFile(reloaded, kSavedName);
    if (reloaded.sample_rate != engine.sample_rate || reloaded.samples != engine.samples) {
      std::abort();
    }
  }
  KeepFuzzLogsSmall();
  return 0;
}
