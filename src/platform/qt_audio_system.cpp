#include "platform/qt_audio_system.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QMediaDevices>

#include "platform/qt_capture_buffer.h"

namespace {

class QtCaptureDevice final : public CaptureDevice {
 public:
  explicit QtCaptureDevice(QAudioDevice device) : device_(std::move(device)) {}

  std::unique_ptr<CaptureBuffer> CreateCaptureBuffer(std::uint32_t sample_rate,
                                                     std::uint32_t ring_bytes) override {
    if (ring_bytes == 0) {
      return nullptr;
    }
    QAudioFormat qt_format;
    qt_format.setSampleFormat(QAudioFormat::UInt8);
    qt_format.setChannelCount(1);
    qt_format.setSampleRate(static_cast<int>(sample_rate));
    if (!device_.isFormatSupported(qt_format)) {
      return nullptr;
    }
    return std::make_unique<QtCaptureBuffer>(device_, qt_format, ring_bytes);
  }

 private:
  QAudioDevice device_;
};

}  // namespace

bool QtAudioSystem::HasOutputDevice() { return !QMediaDevices::defaultAudioOutput().isNull(); }

std::unique_ptr<CaptureDevice> QtAudioSystem::CreateCaptureDevice() {
  QAudioDevice input = QMediaDevices::defaultAudioInput();
  if (input.isNull()) {
    return nullptr;
  }
  return std::make_unique<QtCaptureDevice>(std::move(input));
}
