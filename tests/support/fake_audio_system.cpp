#include "support/fake_audio_system.h"

#include <stdexcept>

#include "engine/recording.h"

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

  std::int32_t StartLooping() override {
    ++script_.start_calls;
    return 0;
  }

  std::int32_t GetReadPosition(std::uint32_t& read_position) override {
    if (script_.position_result < 0) {
      return script_.position_result;
    }
    read_position =
        script_.read_position_scripted ? script_.scripted_read_position : script_.write_position;
    return 0;
  }

  std::int32_t Lock(std::uint32_t offset, std::uint32_t byte_count, CaptureRegion& first,
                    CaptureRegion& second) override {
    if (script_.lock_result < 0) {
      return script_.lock_result;
    }
    const auto ring_bytes = static_cast<std::uint32_t>(script_.ring.size());
    if (offset >= ring_bytes || byte_count > ring_bytes) {
      return kCaptureInvalidArgument;
    }
    script_.locks.emplace_back(offset, byte_count);
    script_.locked = true;
    const std::uint32_t to_end = ring_bytes - offset;
    first = {script_.ring.data() + offset, byte_count < to_end ? byte_count : to_end};
    second = {};
    if (byte_count > to_end) {
      second = {script_.ring.data(), byte_count - to_end};
    }
    return 0;
  }

  std::int32_t Unlock(const CaptureRegion& first, const CaptureRegion& second) override {
    (void)first;
    (void)second;
    ++script_.unlock_calls;
    script_.locked = false;
    return 0;
  }

  std::int32_t Stop() override {
    ++script_.stop_calls;
    return 0;
  }

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

  std::unique_ptr<CaptureBuffer> CreateCaptureBuffer(const CaptureFormat& format,
                                                     std::uint32_t ring_bytes) override {
    script_.format = format;
    script_.requested_ring_bytes = ring_bytes;
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

std::unique_ptr<PlaybackDevice> FakeAudioSystem::CreatePlaybackDevice() {
  if (!script.playback_available) {
    return nullptr;
  }
  return std::make_unique<PlaybackDevice>();
}

std::unique_ptr<CaptureDevice> FakeAudioSystem::CreateCaptureDevice() {
  if (!script.capture_available) {
    return nullptr;
  }
  return std::make_unique<FakeCaptureDevice>(script);
}

void FakeAudioSystem::Capture(const std::vector<std::uint8_t>& bytes) {
  if (script.ring.empty()) {
    throw std::logic_error("no capture buffer to capture into");
  }
  const auto ring_bytes = static_cast<std::uint32_t>(script.ring.size());
  for (const std::uint8_t byte : bytes) {
    script.ring[script.write_position] = byte;
    script.write_position = (script.write_position + 1) % ring_bytes;
  }
}

}  // namespace test
