#include "engine/recording.h"

#include <array>

#include "engine/clip_files.h"
#include "engine/messages.h"
#include "engine/notifier.h"
#include "engine/sound_engine.h"
#include "log/event_log.h"
#include "riff/replacement_file.h"
#include "riff/wave_header.h"

namespace {

constexpr const char* kTempWriteFailed = "Failed to write temp.wav";

void ReleaseCapture(SoundEngine& engine) {
  if (engine.capture_buffer) {
    engine.capture_buffer->Stop();
    engine.capture_buffer.reset();
  }
  engine.capture_device.reset();
}

// Appends one locked region to "tmp". A region without an address carries no
// bytes, whatever length it claims.
void CopyRegion(SoundEngine& engine, const CaptureRegion& region) {
  if (region.data == nullptr || region.length == 0) {
    return;
  }
  CaptureState& capture = engine.capture;
  engine.sample_count += region.length;
  capture.temp_file->Write(region.data, region.length);
  capture.read_cursor = (capture.read_cursor + region.length) % capture.ring_bytes;
}

// A start that fails is told to the user and leaves no recording running,
// so no time limit runs out later on a recording that never was.
bool FailStart(SoundEngine& engine, const char* message) {
  if (engine.notifier != nullptr) {
    engine.notifier->ShowMessage(message, "");
  }
  DiscardRecordingResources(engine);
  engine.recording = 0;
  return false;
}

}  // namespace

bool StartRecording(SoundEngine& engine) {
  if (engine.recording != 0) {
    return false;
  }
  engine.recording = 1;
  // A load during a recording clears `recording` but leaves the capture and
  // the unfinished "tmp" behind: they go first.
  DiscardRecordingResources(engine);

  if (engine.audio_system != nullptr) {
    engine.capture_device = engine.audio_system->CreateCaptureDevice();
  }
  if (!engine.capture_device) {
    WriteFailureEntry(kNoCaptureDevice);
  }
  if (!CreateCaptureBuffer(engine, engine.capture_device.get(), &engine.capture_buffer)) {
    WriteFailureEntry(kNoCaptureBuffer);
    return FailStart(engine, engine.capture_device ? kNoCaptureBuffer : kNoCaptureDevice);
  }
  // Without a file to write, a recording would vanish at STOP.
  auto temp_file = std::make_unique<ReplacementFile>(kTempFileName);
  if (!temp_file->IsOpen()) {
    WriteFailureEntry(kTempOpenFailed);
    return FailStart(engine, kTempOpenFailed);
  }
  engine.capture_buffer->StartLooping();
  engine.sample_rate = kCaptureSampleRate;
  engine.sample_count = 0;
  engine.capture.read_cursor = 0;
  engine.capture.temp_file = std::move(temp_file);
  // The captured bytes start where the header will end.
  const std::array<std::uint8_t, kWaveHeaderBytes> no_header{};
  engine.capture.temp_file->Write(no_header.data(), no_header.size());
  return true;
}

bool CreateCaptureBuffer(SoundEngine& engine, CaptureDevice* device,
                         std::unique_ptr<CaptureBuffer>* buffer) {
  engine.capture.ring_bytes = kRingBytes;
  if (device == nullptr || buffer == nullptr) {
    return false;
  }
  auto created = device->CreateCaptureBuffer(CaptureFormat{}, engine.capture.ring_bytes);
  if (!created) {
    return false;
  }
  *buffer = std::move(created);
  engine.capture.read_cursor = 0;
  return true;
}

std::int32_t PollCapture(SoundEngine& engine) {
  CaptureState& capture = engine.capture;
  if (!engine.capture_buffer || !capture.temp_file) {
    return 1;
  }
  std::uint32_t read_position = 0;
  const std::int32_t position_result = engine.capture_buffer->GetReadPosition(read_position);
  if (position_result < 0) {
    return position_result;
  }
  // A position outside the ring would make the copy run past it.
  if (read_position >= capture.ring_bytes) {
    return kCaptureInvalidArgument;
  }
  std::int64_t byte_count =
      static_cast<std::int64_t>(read_position) - static_cast<std::int64_t>(capture.read_cursor);
  if (byte_count < 0) {
    byte_count += capture.ring_bytes;
  }
  if (byte_count == 0) {
    return 1;
  }

  CaptureRegion first;
  CaptureRegion second;
  const std::int32_t lock_result = engine.capture_buffer->Lock(
      capture.read_cursor, static_cast<std::uint32_t>(byte_count), first, second);
  if (lock_result < 0) {
    return lock_result;
  }
  CopyRegion(engine, first);
  CopyRegion(engine, second);
  engine.capture_buffer->Unlock(first, second);
  return 0;
}

bool FinishRecording(SoundEngine& engine) {
  if (engine.recording == 0) {
    return false;
  }
  engine.recording = 0;
  ReleaseCapture(engine);
  CaptureState& capture = engine.capture;
  if (!capture.temp_file) {
    WriteFailureEntry("No File Pointer To temp.wav");
    return false;
  }
  const auto header = MakeWaveHeader(EightBitMono(engine.sample_rate), engine.sample_count);
  capture.temp_file->WriteAt(0, header.data(), header.size());
  if (!capture.temp_file->Commit()) {
    WriteFailureEntry(kTempWriteFailed);
  }
  return true;
}

bool StopRecording(SoundEngine& engine) {
  if (!FinishRecording(engine)) {
    return false;
  }
  // Read back from this recording's own file; a recording that could not be
  // written whole gives no clip rather than an older "tmp".
  const std::unique_ptr<ReplacementFile> written = std::move(engine.capture.temp_file);
  LoadWrittenClip(engine, *written);
  return true;
}

void DiscardRecordingResources(SoundEngine& engine) {
  ReleaseCapture(engine);
  engine.capture.temp_file.reset();
}
