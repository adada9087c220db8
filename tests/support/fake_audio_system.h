#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/audio_devices.h"

namespace test {

// What the fake devices do and what was done to them. The audio system owns
// it; the devices the engine holds point back at it, so the system must
// outlive the engine.
struct FakeCaptureScript {
  // Failures to inject.
  bool output_available = true;
  bool capture_available = true;
  bool buffer_available = true;
  bool position_fails = false;
  bool lock_fails = false;
  // When set, ReadPosition reports this instead of the write position.
  std::optional<std::uint32_t> scripted_read_position;

  // The ring the "device" writes round and round.
  std::vector<std::uint8_t> ring;
  std::uint32_t write_position = 0;

  // Observations.
  std::uint32_t sample_rate = 0;
  int devices_alive = 0;
  int buffers_alive = 0;
  int buffers_created = 0;
  int stop_calls = 0;
  bool locked = false;                                         // a Lock not yet matched by Unlock
  std::vector<std::pair<std::uint32_t, std::uint32_t>> locks;  // offset, byte count
};

class FakeAudioSystem final : public AudioSystem {
 public:
  bool HasOutputDevice() override { return script.output_available; }
  std::unique_ptr<CaptureDevice> CreateCaptureDevice() override;

  // The device captures `bytes`: written at the write position, wrapping at
  // the end of the ring, which then reports the new position.
  void Capture(const std::vector<std::uint8_t>& bytes);

  FakeCaptureScript script;
};

}  // namespace test
