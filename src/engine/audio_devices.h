#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

// Platform interfaces of the sound engine: the output device looked for at
// start-up and the capture device of a recording. Real implementations live
// in src/platform; tests use fakes.

// The ring's bytes of one range: `second` is empty unless the range passes
// the end of the ring, where it goes on from offset 0.
struct CaptureRegions {
  std::span<const std::uint8_t> first;
  std::span<const std::uint8_t> second;
};

// The regions of `ring` holding `byte_count` bytes from `offset`; none for a
// range outside the ring.
inline std::optional<CaptureRegions> RingRange(std::span<const std::uint8_t> ring,
                                               std::uint32_t offset, std::uint32_t byte_count) {
  if (offset >= ring.size() || byte_count > ring.size()) {
    return std::nullopt;
  }
  const std::size_t to_end = ring.size() - offset;
  if (byte_count <= to_end) {
    return CaptureRegions{ring.subspan(offset, byte_count), {}};
  }
  return CaptureRegions{ring.subspan(offset), ring.first(byte_count - to_end)};
}

// A ring of 8-bit unsigned mono samples that the device fills round and
// round once started.
class CaptureBuffer {
 public:
  virtual ~CaptureBuffer() = default;
  // A start that fails shows as a failed ReadPosition.
  virtual void Start() = 0;
  // Offset in the ring behind which every byte is complete; none once the
  // capture has failed.
  virtual std::optional<std::uint32_t> ReadPosition() = 0;
  // The `byte_count` bytes from `offset`, held until Unlock; none for a range
  // outside the ring.
  virtual std::optional<CaptureRegions> Lock(std::uint32_t offset, std::uint32_t byte_count) = 0;
  virtual void Unlock() = 0;
  virtual void Stop() = 0;
};

class CaptureDevice {
 public:
  virtual ~CaptureDevice() = default;
  // Null when the device can't capture at that rate.
  virtual std::unique_ptr<CaptureBuffer> CreateCaptureBuffer(std::uint32_t sample_rate,
                                                             std::uint32_t ring_bytes) = 0;
};

class AudioSystem {
 public:
  virtual ~AudioSystem() = default;
  virtual bool HasOutputDevice() = 0;
  // Null when there is no microphone.
  virtual std::unique_ptr<CaptureDevice> CreateCaptureDevice() = 0;
};

// For programs without sound (the command-line analyser): an output device
// that is never used counts as there, capture is never available.
class SilentAudioSystem final : public AudioSystem {
 public:
  bool HasOutputDevice() override { return true; }
  std::unique_ptr<CaptureDevice> CreateCaptureDevice() override { return nullptr; }
};
