#include "platform/qt_capture_buffer.h"

QtCaptureBuffer::QtCaptureBuffer(const QAudioDevice& device, const QAudioFormat& format,
                                 std::uint32_t ring_bytes)
    : source_(std::make_unique<QAudioSource>(device, format)), ring_(ring_bytes, 0) {}

QtCaptureBuffer::~QtCaptureBuffer() { Stop(); }

void QtCaptureBuffer::Start() { stream_ = source_->start(); }

bool QtCaptureBuffer::SourceFailed() const {
  const QAudio::Error error = source_->error();
  return error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError;
}

std::optional<std::uint32_t> QtCaptureBuffer::ReadPosition() {
  if (SourceFailed() || stream_.isNull()) {
    return std::nullopt;
  }
  const auto ring_bytes = static_cast<std::uint32_t>(ring_.size());
  for (;;) {
    const qint64 room = ring_bytes - write_position_;
    const qint64 got = stream_->read(reinterpret_cast<char*>(ring_.data() + write_position_), room);
    if (got < 0) {
      return std::nullopt;
    }
    if (got == 0) {
      break;
    }
    write_position_ = (write_position_ + static_cast<std::uint32_t>(got)) % ring_bytes;
  }
  return write_position_;
}

std::optional<CaptureRegions> QtCaptureBuffer::Lock(std::uint32_t offset,
                                                    std::uint32_t byte_count) {
  return RingRange(ring_, offset, byte_count);
}

void QtCaptureBuffer::Stop() {
  if (source_->state() != QAudio::StoppedState) {
    source_->stop();
  }
  stream_.clear();
}
