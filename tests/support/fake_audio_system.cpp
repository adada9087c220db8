#include "support/fake_audio_system.h"

#include <stdexcept>

namespace test {

namespace {

// Counted while it lives.
struct Alive {
  explicit Alive(FakeAudioSystem& fake) : system(fake) { ++system.alive; }
  ~Alive() { --system.alive; }
  Alive(const Alive&) = delete;
  Alive& operator=(const Alive&) = delete;
  FakeAudioSystem& system;
};

class FakeCaptureBuffer final : public CaptureBuffer {
 public:
  explicit FakeCaptureBuffer(FakeAudioSystem& fake) : alive_(fake), s_(fake) {}
  void Start() override {}
  std::optional<std::uint32_t> ReadPosition() override {
    return s_.position_fails ? std::nullopt
                             : std::optional(s_.scripted_read_position.value_or(s_.write_position));
  }
  std::optional<CaptureRegions> Lock(std::uint32_t offset, std::uint32_t byte_count) override {
    if (s_.lock_fails) {
      return std::nullopt;
    }
    s_.locks.emplace_back(offset, byte_count);
    s_.locked = true;
    return RingRange(s_.ring, offset, byte_count);
  }
  void Unlock() override { s_.locked = false; }
  void Stop() override { ++s_.stop_calls; }

 private:
  Alive alive_;
  FakeAudioSystem& s_;
};

class FakeCaptureDevice final : public CaptureDevice {
 public:
  explicit FakeCaptureDevice(FakeAudioSystem& fake) : alive_(fake), s_(fake) {}
  std::unique_ptr<CaptureBuffer> CreateCaptureBuffer(std::uint32_t sample_rate,
                                                     std::uint32_t ring_bytes) override {
    s_.sample_rate = sample_rate;
    s_.ring.assign(ring_bytes, 0);
    s_.write_position = 0;
    return s_.buffer_available ? std::make_unique<FakeCaptureBuffer>(s_) : nullptr;
  }

 private:
  Alive alive_;
  FakeAudioSystem& s_;
};

}  // namespace

std::unique_ptr<CaptureDevice> FakeAudioSystem::CreateCaptureDevice() {
  return capture_available ? std::make_unique<FakeCaptureDevice>(*this) : nullptr;
}

void FakeAudioSystem::Capture(const std::vector<std::uint8_t>& bytes) {
  if (ring.empty()) {
    throw std::logic_error("no capture buffer to capture into");
  }
  for (const std::uint8_t byte : bytes) {
    ring[write_position] = byte;
    write_position = (write_position + 1) % ring.size();
  }
}

}  // namespace test
