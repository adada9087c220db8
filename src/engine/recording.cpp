#include "engine/recording.h"

#include <cstdio>

#include "engine/clip_files.h"
#include "engine/sound_engine.h"
#include "engine/wave_header.h"
#include "log/event_log.h"

namespace {

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
  std::fwrite(region.data, 1, region.length, capture.temp_file);
  capture.read_cursor = (capture.read_cursor + region.length) % capture.ring_bytes;
}

}  // namespace

bool StartRecording(SoundEngine& engine) {
  if (engine.recording != 0) {
    return false;
  }
  engine.recording = 1;
  // A load during a recording clears `recording` but leaves the capture and
  // the open "tmp" behind. Reopening "tmp" over a still-open handle would let
  // the old handle's buffered bytes land in the new file, so they go first.
  DiscardRecordingResources(engine);

  if (engine.audio_system != nullptr) {
    engine.capture_device = engine.audio_system->CreateCaptureDevice();
  }
  if (!engine.capture_device) {
    WriteLogEntry(LogTarget::Critical, "Failed to create sound capture");
  }
  if (!CreateCaptureBuffer(engine, engine.capture_device.get(), &engine.capture_buffer)) {
    WriteLogEntry(LogTarget::Critical, "Failed to Create Capture Sound Buffer");
    return false;
  }
  engine.capture_buffer->StartLooping();

  engine.sample_rate = kCaptureSampleRate;
  engine.sample_count = 0;
  engine.capture.read_cursor = 0;

  engine.capture.temp_file = std::fopen(kTempFileName, "wb");
  if (engine.capture.temp_file == nullptr) {
    WriteLogEntry(LogTarget::Critical, "Failed to open temp.wav");
    return false;
  }
  std::fseek(engine.capture.temp_file, kCaptureDataOffset, SEEK_SET);
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
  if (!engine.capture_buffer || capture.temp_file == nullptr) {
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

bool StopRecording(SoundEngine& engine) {
  if (engine.recording == 0) {
    return false;
  }
  engine.recording = 0;
  ReleaseCapture(engine);

  CaptureState& capture = engine.capture;
  if (capture.temp_file == nullptr) {
    WriteLogEntry(LogTarget::Critical, "No File Pointer To temp.wav");
    return false;
  }
  std::fseek(capture.temp_file, 0, SEEK_SET);
  WriteWaveHeader(capture.temp_file, EightBitMono(engine.sample_rate), engine.sample_count);
  std::fclose(capture.temp_file);
  capture.temp_file = nullptr;

  LoadClip(engine, kTempFileName);
  return true;
}

void DiscardRecordingResources(SoundEngine& engine) {
  ReleaseCapture(engine);
  if (engine.capture.temp_file != nullptr) {
    std::fclose(engine.capture.temp_file);
    engine.capture.temp_file = nullptr;
  }
}
