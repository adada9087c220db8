#include "engine/clip_files.h"

#include "engine/sound_engine.h"

// Placeholder until loading and saving land.
bool LoadClip(SoundEngine& engine, const std::string& path) {
  (void)path;
  Reset(engine);
  return false;
}
bool SaveWave(const SoundEngine& engine, const std::string& path) {
  (void)engine;
  (void)path;
  return false;
}
