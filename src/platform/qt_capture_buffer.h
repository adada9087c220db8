#pragma once

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QIODevice>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/audio_devices.h"

// The capture ring on top of a QAudioSource. Qt hands over audio as a stream,
// so the buffer keeps the ring itself: each ReadPosition first moves all
// that has arrived into the ring, round and round, and reports where that
// ended. Data only arrives while the owning thread's event loop runs.
class QtCaptureBuffer final : public CaptureBuffer {
 public:
  QtCaptureBuffer(const QAudioDevice& device, const QAudioFormat& format, std::uint32_t ring_bytes);
  ~QtCaptureBuffer() override;
  QtCaptureBuffer(const QtCaptureBuffer&) = delete;
  QtCaptureBuffer& operator=(const QtCaptureBuffer&) = delete;

  void Start() override;
  std::optional<std::uint32_t> ReadPosition() override;
  std::optional<CaptureRegions> Lock(std::uint32_t offset, std::uint32_t byte_count) override;
  // The ring is only written inside ReadPosition, on this same thread, so a
  // locked range needs no protection.
  void Unlock() override {}
  void Stop() override;

 private:
  bool SourceFailed() const;

  std::unique_ptr<QAudioSource> source_;
  // Qt deletes the stream device when the sound server goes away.
  QPointer<QIODevice> stream_;
  std::vector<std::uint8_t> ring_;
  std::uint32_t write_position_ = 0;
};
