#include "engine/clip_files.h"

#include <cstdio>

#include "avi/extract_avi_audio.h"
#include "engine/analysis.h"
#include "engine/sound_engine.h"
#include "engine/wave_header.h"
#include "engine/wave_reader.h"
#include "log/event_log.h"

bool LoadClip(SoundEngine& engine, const std::string& path) {
  Reset(engine);
  // Case-sensitive and anywhere in the path; ".wav" wins over ".avi".
  if (path.find(".wav") != std::string::npos) {
    WriteLogEntry(LogTarget::Routine, "Loading file - wave");
    ReadWaveFile(engine, path);
  } else if (path.find(".avi") != std::string::npos) {
    ExtractAviAudio(path, kTempFileName);
    ReadWaveFile(engine, kTempFileName);
  } else {
    ReadWaveFile(engine, path);
  }
  if (!MeasureClipQuality(engine)) {
    return false;
  }
  return DetectShots(engine);
}

bool SaveWave(const SoundEngine& engine, const std::string& path) {
  // While recording, sample_count counts captured bytes, not samples held.
  if (engine.IsRecording()) {
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    return false;
  }
  const std::uint32_t count = HeldSampleCount(engine);
  WriteWaveHeader(file, EightBitMono(engine.sample_rate), count);
  if (count != 0) {
    std::fwrite(engine.samples->data(), 1, count, file);
  }
  std::fclose(file);
  return true;
}
