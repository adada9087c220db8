#include "engine/recording.h"

#include "engine/sound_engine.h"

// Placeholder until recording lands: the engine stays idle.
bool StartRecording(SoundEngine& engine) {
  (void)engine;
  return false;
}
bool CreateCaptureBuffer(SoundEngine& engine) {
  (void)engine;
  return false;
}
std::int32_t PollCapture(SoundEngine& engine) {
  (void)engine;
  return 1;
}
bool StopRecording(SoundEngine& engine) {
  (void)engine;
  return false;
}
