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
  void Capture(const std::vector<std::uint8_t>& bytes) {
    for (const std::uint8_t byte : bytes) {
      ring.at(write_position) = byte;  // throws before any capture buffer exists
      write_position = static_cast<std::uint32_t>((write_position + 1) % ring.size());
    }
  }

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

// Counted in `alive` while it lives.
struct Alive {
  explicit Alive(FakeAudioSystem& fake) : s(fake) { ++s.alive; }
  ~Alive() { --s.alive; }
  Alive(const Alive&) = delete;
  Alive& operator=(const Alive&) = delete;
  FakeAudioSystem& s;
};

class FakeCaptureBuffer final : public CaptureBuffer, Alive {
 public:
  using Alive::Alive;
  void Start() override {}
  std::optional<std::uint32_t> ReadPosition() override {
    return s.position_fails ? std::nullopt
                            : std::optional(s.scripted_read_position.value_or(s.write_position));
  }
  std::optional<CaptureRegions> Lock(std::uint32_t offset, std::uint32_t byte_count) override {
    if (s.lock_fails) {
      return std::nullopt;
    }
    s.locks.emplace_back(offset, byte_count);
    s.locked = true;
    return RingRange(s.ring, offset, byte_count);
  }
  void Unlock() override { s.locked = false; }
  void Stop() override { ++s.stop_calls; }
};

class FakeCaptureDevice final : public CaptureDevice, Alive {
 public:
  using Alive::Alive;
  std::unique_ptr<CaptureBuffer> CreateCaptureBuffer(std::uint32_t sample_rate,
                                                     std::uint32_t ring_bytes) override {
    s.sample_rate = sample_rate;
    s.ring.assign(ring_bytes, 0);
    s.write_position = 0;
    return s.buffer_available ? std::make_unique<FakeCaptureBuffer>(s) : nullptr;
  }
};

inline std::unique_ptr<CaptureDevice> FakeAudioSystem::CreateCaptureDevice() {
  return capture_available ? std::make_unique<FakeCaptureDevice>(*this) : nullptr;
}

}  // namespace test
