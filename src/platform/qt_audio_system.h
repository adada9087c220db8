#pragma once

#include <memory>

#include "engine/audio_devices.h"

// The sound engine's devices on Qt Multimedia: the default output stands in
// for the playback device, the default input is the microphone. A
// QCoreApplication must exist before either is opened.
class QtAudioSystem final : public AudioSystem {
 public:
  // Null when there is no default audio output.
  bool HasOutputDevice() override;
  // Null when there is no default audio input.
  std::unique_ptr<CaptureDevice> CreateCaptureDevice() override;
};
