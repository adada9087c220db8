#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/audio_devices.h"

namespace test {

// A scripted microphone: the ring the "device" fills, the failures to inject
// and what was done to it. Devices and buffers point back at the system, so
// it must outlive the engine.
class FakeAudioSystem final : public AudioSystem {
 public:
  bool HasOutputDevice() override { return output_available; }
  std::unique_ptr<CaptureDevice> CreateCaptureDevice() override;
  // The device captures `bytes` round the ring from its write position.
  void Capture(const std::vector<std::uint8_t>& bytes);

  bool output_available = true;
  bool capture_available = true;
  bool buffer_available = true;
  bool position_fails = false;
  bool lock_fails = false;
  std::optional<std::uint32_t> scripted_read_position;  // else the write position

  std::vector<std::uint8_t> ring;
  std::uint32_t write_position = 0;
  std::uint32_t sample_rate = 0;
  int alive = 0;  // devices and buffers not yet destroyed
  int stop_calls = 0;
  bool locked = false;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> locks;  // offset, byte count
};

}  // namespace test
