#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "engine/audio_devices.h"

namespace test {

// What the fake devices do and what was done to them. The audio system owns
// it; the devices the engine holds point back at it, so the system must
// outlive the engine.
struct FakeCaptureScript {
  // Failures to inject.
  bool playback_available = true;
  bool capture_available = true;
  bool buffer_available = true;
  std::int32_t position_result = 0;  // negative: GetReadPosition fails
  std::int32_t lock_result = 0;      // negative: Lock fails
  // When set, GetReadPosition reports this instead of the write position.
  bool read_position_scripted = false;
  std::uint32_t scripted_read_position = 0;

  // The ring the "device" writes round and round.
  std::vector<std::uint8_t> ring;
  std::uint32_t write_position = 0;

  // Observations.
  CaptureFormat format;
  std::uint32_t requested_ring_bytes = 0;
  int devices_alive = 0;
  int buffers_alive = 0;
  int buffers_created = 0;
  int start_calls = 0;
  int stop_calls = 0;
  int unlock_calls = 0;
  bool locked = false;                                         // a Lock not yet matched by Unlock
  std::vector<std::pair<std::uint32_t, std::uint32_t>> locks;  // offset, byte count
};

class FakeAudioSystem final : public AudioSystem {
 public:
  std::unique_ptr<PlaybackDevice> CreatePlaybackDevice() override;
  std::unique_ptr<CaptureDevice> CreateCaptureDevice() override;

  // The device captures `bytes`: written at the write position, wrapping at
  // the end of the ring, which then reports the new position.
  void Capture(const std::vector<std::uint8_t>& bytes);

  FakeCaptureScript script;
};

}  // namespace test
