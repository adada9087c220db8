#include "support/fake_audio_system.h"

#include <stdexcept>

namespace test {

namespace {

class FakeCaptureBuffer final : public CaptureBuffer {
 public:
  explicit FakeCaptureBuffer(FakeCaptureScript& script) : script_(script) {
    ++script_.buffers_alive;
    ++script_.buffers_created;
  }
  ~FakeCaptureBuffer() override { --script_.buffers_alive; }
  FakeCaptureBuffer(const FakeCaptureBuffer&) = delete;
  FakeCaptureBuffer& operator=(const FakeCaptureBuffer&) = delete;

  void Start() override {}
  std::optional<std::uint32_t> ReadPosition() override {
    if (script_.position_fails) {
      return std::nullopt;
    }
    return script_.scripted_read_position.value_or(script_.write_position);
  }
  std::optional<CaptureRegions> Lock(std::uint32_t offset, std::uint32_t byte_count) override {
    if (script_.lock_fails) {
      return std::nullopt;
    }
    script_.locks.emplace_back(offset, byte_count);
    script_.locked = true;
    return RingRange(script_.ring, offset, byte_count);
  }
  void Unlock() override { script_.locked = false; }
  void Stop() override { ++script_.stop_calls; }

 private:
  FakeCaptureScript& script_;
};

class FakeCaptureDevice final : public CaptureDevice {
 public:
  explicit FakeCaptureDevice(FakeCaptureScript& script) : script_(script) {
    ++script_.devices_alive;
  }
  ~FakeCaptureDevice() override { --script_.devices_alive; }
  FakeCaptureDevice(const FakeCaptureDevice&) = delete;
  FakeCaptureDevice& operator=(const FakeCaptureDevice&) = delete;

  std::unique_ptr<CaptureBuffer> CreateCaptureBuffer(std::uint32_t sample_rate,
                                                     std::uint32_t ring_bytes) override {
    script_.sample_rate = sample_rate;
    if (!script_.buffer_available) {
      return nullptr;
    }
    script_.ring.assign(ring_bytes, 0);
    script_.write_position = 0;
    return std::make_unique<FakeCaptureBuffer>(script_);
  }

 private:
  FakeCaptureScript& script_;
};

}  // namespace

std::unique_ptr<CaptureDevice> FakeAudioSystem::CreateCaptureDevice() {
  return script.capture_available ? std::make_unique<FakeCaptureDevice>(script) : nullptr;
}

void FakeAudioSystem::Capture(const std::vector<std::uint8_t>& bytes) {
  if (script.ring.empty()) {
    throw std::logic_error("no capture buffer to capture into");
  }
  for (const std::uint8_t byte : bytes) {
    script.ring[script.write_position] = byte;
    script.write_position = (script.write_position + 1) % script.ring.size();
  }
}

}  // namespace test
