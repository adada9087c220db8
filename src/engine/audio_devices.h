#pragma once

#include <cstdint>
#include <memory>

// Platform interfaces of the sound engine: what stands in for the playback
// device held from start-up and for the capture device of a recording.
// Real implementations live in src/platform; tests use fakes.

// Held from engine construction to destruction; nothing is ever played.
class PlaybackDevice {
 public:
  virtual ~PlaybackDevice() = default;
};

// Capture format of a recording: 8-bit unsigned mono PCM.
struct CaptureFormat {
  std::uint16_t format_tag = 1;
  std::uint16_t channels = 1;
  std::uint32_t samples_per_sec = 22050;
  std::uint32_t avg_bytes_per_sec = 22050;
  std::uint16_t block_align = 1;
  std::uint16_t bits_per_sample = 8;
};

// A region of the capture ring handed out by Lock; `data` is null and
// `length` 0 for an absent second region.
struct CaptureRegion {
  const std::uint8_t* data = nullptr;
  std::uint32_t length = 0;
};

// A ring of `ring_bytes` that the device fills round and round once started.
// Results follow the platform's convention: 0 or more is success, negative a
// platform error code.
class CaptureBuffer {
 public:
  virtual ~CaptureBuffer() = default;
  virtual std::int32_t StartLooping() = 0;
  // Offset in the ring behind which every byte is complete.
  virtual std::int32_t GetReadPosition(std::uint32_t& read_position) = 0;
  // The `byte_count` bytes from `offset`, as one region or, when the range
  // passes the end of the ring, two (the second starting at offset 0).
  virtual std::int32_t Lock(std::uint32_t offset, std::uint32_t byte_count, CaptureRegion& first,
                            CaptureRegion& second) = 0;
  virtual std::int32_t Unlock(const CaptureRegion& first, const CaptureRegion& second) = 0;
  virtual std::int32_t Stop() = 0;
};

class CaptureDevice {
 public:
  virtual ~CaptureDevice() = default;
  // Null when no buffer can be made.
  virtual std::unique_ptr<CaptureBuffer> CreateCaptureBuffer(const CaptureFormat& format,
                                                             std::uint32_t ring_bytes) = 0;
};

// Opens the default devices; null means failure.
class AudioSystem {
 public:
  virtual ~AudioSystem() = default;
  virtual std::unique_ptr<PlaybackDevice> CreatePlaybackDevice() = 0;
  virtual std::unique_ptr<CaptureDevice> CreateCaptureDevice() = 0;
};

// For programs without sound (the command-line analyser): playback opens as a
// device that does nothing, capture is never available.
class SilentAudioSystem final : public AudioSystem {
 public:
  std::unique_ptr<PlaybackDevice> CreatePlaybackDevice() override {
    return std::make_unique<PlaybackDevice>();
  }
  std::unique_ptr<CaptureDevice> CreateCaptureDevice() override { return nullptr; }
};
