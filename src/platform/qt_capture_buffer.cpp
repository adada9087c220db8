#include "platform/qt_capture_buffer.h"

#include "engine/recording.h"

namespace {

// Platform codes in the capture's own convention (negative = failure).
constexpr std::int32_t kCaptureNotRunning = static_cast<std::int32_t>(0x88780032U);
constexpr std::int32_t kCaptureDeviceLost = static_cast<std::int32_t>(0x88780078U);

}  // namespace

QtCaptureBuffer::QtCaptureBuffer(const QAudioDevice& device, const QAudioFormat& format,
                                 std::uint32_t ring_bytes)
    : source_(std::make_unique<QAudioSource>(device, format)), ring_(ring_bytes, 0) {}

QtCaptureBuffer::~QtCaptureBuffer() { Stop(); }

std::int32_t QtCaptureBuffer::StartLooping() {
  stream_ = source_->start();
  return stream_.isNull() ? kCaptureDeviceLost : 0;
}

bool QtCaptureBuffer::SourceFailed() const {
  const QAudio::Error error = source_->error();
  return error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError;
}

std::int32_t QtCaptureBuffer::GetReadPosition(std::uint32_t& read_position) {
  if (SourceFailed()) {
    return kCaptureDeviceLost;
  }
  if (stream_.isNull()) {
    return kCaptureNotRunning;
  }
  const auto ring_bytes = static_cast<std::uint32_t>(ring_.size());
  for (;;) {
    const qint64 room = ring_bytes - write_position_;
    const qint64 got = stream_->read(reinterpret_cast<char*>(ring_.data() + write_position_), room);
    if (got < 0) {
      return kCaptureDeviceLost;
    }
    if (got == 0) {
      break;
    }
    write_position_ = (write_position_ + static_cast<std::uint32_t>(got)) % ring_bytes;
  }
  read_position = write_position_;
  return 0;
}

std::int32_t QtCaptureBuffer::Lock(std::uint32_t offset, std::uint32_t byte_count,
                                   CaptureRegion& first, CaptureRegion& second) {
  const auto ring_bytes = static_cast<std::uint32_t>(ring_.size());
  if (offset >= ring_bytes || byte_count > ring_bytes) {
    return kCaptureInvalidArgument;
  }
  const std::uint32_t to_end = ring_bytes - offset;
  first = {ring_.data() + offset, byte_count < to_end ? byte_count : to_end};
  second = {};
  if (byte_count > to_end) {
    second = {ring_.data(), byte_count - to_end};
  }
  return 0;
}

// The ring is only written inside GetReadPosition, on this same thread, so a
// locked range needs no protection.
std::int32_t QtCaptureBuffer::Unlock(const CaptureRegion& first, const CaptureRegion& second) {
  (void)first;
  (void)second;
  return 0;
}

std::int32_t QtCaptureBuffer::Stop() {
  if (source_->state() != QAudio::StoppedState) {
    source_->stop();
  }
  stream_.clear();
  return 0;
}
