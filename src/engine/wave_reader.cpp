#include "engine/wave_reader.h"

#include "engine/sound_engine.h"

// Placeholder until the reader lands.
bool ReadWaveFile(SoundEngine& engine, const std::string& path) {
  (void)engine;
  (void)path;
  return true;
}
