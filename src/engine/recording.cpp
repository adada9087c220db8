#include "engine/recording.h"

#include <array>
#include <optional>
#include <span>

#include "engine/clip_files.h"
#include "engine/live_analysis.h"
#include "engine/messages.h"
#include "engine/notifier.h"
#include "engine/sound_engine.h"
#include "log/event_log.h"
#include "riff/replacement_file.h"
#include "riff/wave_header.h"

namespace {

constexpr std::uint32_t kMillisecondsPerSecond = 1000;

constexpr const char* kTempWriteFailed = "Failed to write temp.wav";

void ReleaseCapture(SoundEngine& engine) {
  if (engine.capture_buffer) {
    engine.capture_buffer->Stop();
    engine.capture_buffer.reset();
  }
  engine.capture_device.reset();
  engine.capture.live.reset();
}

// Appends one locked region to "tmp".
void CopyRegion(SoundEngine& engine, std::span<const std::uint8_t> region) {
  if (region.empty()) {
    return;
  }
  CaptureState& capture = engine.capture;
  const auto length = static_cast<std::uint32_t>(region.size());
  engine.sample_count += length;
  capture.temp_file->Write(region.data(), region.size());
  capture.read_cursor = (capture.read_cursor + length) % kRingBytes;
  // Out of memory, the running figures stop; the recording goes on.
  if (capture.live && !FeedLiveAnalysis(*capture.live, region.data(), region.size())) {
    capture.live.reset();
  }
}

std::unique_ptr<CaptureBuffer> MakeCaptureBuffer(CaptureDevice* device) {
  return device != nullptr ? device->CreateCaptureBuffer(kCaptureSampleRate, kRingBytes) : nullptr;
}

// A start that fails is told to the user and leaves no recording running,
// so no time limit runs out later on a recording that never was.
bool FailStart(SoundEngine& engine, const char* message) {
  if (engine.notifier != nullptr) {
    engine.notifier->ShowMessage(message, "");
  }
  DiscardRecordingResources(engine);
  engine.recording = false;
  return false;
}

}  // namespace

bool StartRecording(SoundEngine& engine) {
  if (engine.recording) {
    return false;
  }
  engine.recording = true;
  // A load during a recording clears `recording` but leaves the capture and
  // the unfinished "tmp" behind: they go first.
  DiscardRecordingResources(engine);

  if (engine.audio_system != nullptr) {
    engine.capture_device = engine.audio_system->CreateCaptureDevice();
  }
  if (!engine.capture_device) {
    WriteFailureEntry(kNoCaptureDevice);
  }
  engine.capture_buffer = MakeCaptureBuffer(engine.capture_device.get());
  if (!engine.capture_buffer) {
    WriteFailureEntry(kNoCaptureBuffer);
    return FailStart(engine, engine.capture_device ? kNoCaptureBuffer : kNoCaptureDevice);
  }
  // Without a file to write, a recording would vanish at STOP.
  auto temp_file = std::make_unique<ReplacementFile>(kTempFileName);
  if (!temp_file->IsOpen()) {
    WriteFailureEntry(kTempOpenFailed);
    return FailStart(engine, kTempOpenFailed);
  }
  engine.capture_buffer->Start();
  engine.sample_rate = kCaptureSampleRate;
  engine.sample_count = 0;
  engine.capture.read_cursor = 0;
  engine.capture.temp_file = std::move(temp_file);
  // Room for a recording of the longest allowed, with a second to spare.
  engine.capture.live = std::make_unique<LiveAnalysis>(
      kCaptureSampleRate, engine.chosen_detector,
      kCaptureSampleRate * (kRecordingLimitMs / kMillisecondsPerSecond + 1));
  // The captured bytes start where the header will end.
  const std::array<std::uint8_t, kWaveHeaderBytes> no_header{};
  engine.capture.temp_file->Write(no_header.data(), no_header.size());
  return true;
}

CapturePoll PollCapture(SoundEngine& engine) {
  CaptureState& capture = engine.capture;
  if (!engine.capture_buffer || !capture.temp_file) {
    return CapturePoll::NothingNew;
  }
  const std::optional<std::uint32_t> read_position = engine.capture_buffer->ReadPosition();
  // A position outside the ring would make the copy run past it.
  if (!read_position || *read_position >= kRingBytes) {
    return CapturePoll::Failed;
  }
  const std::uint32_t byte_count = (*read_position + kRingBytes - capture.read_cursor) % kRingBytes;
  if (byte_count == 0) {
    return CapturePoll::NothingNew;
  }
  const std::optional<CaptureRegions> regions =
      engine.capture_buffer->Lock(capture.read_cursor, byte_count);
  if (!regions) {
    return CapturePoll::Failed;
  }
  CopyRegion(engine, regions->first);
  CopyRegion(engine, regions->second);
  engine.capture_buffer->Unlock();
  return CapturePoll::Copied;
}

bool FinishRecording(SoundEngine& engine) {
  if (!engine.recording) {
    return false;
  }
  engine.recording = false;
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

const SoundEngine& ShownAnalysis(const SoundEngine& engine) {
  return engine.recording && engine.capture.live ? engine.capture.live->engine : engine;
}

void DiscardRecordingResources(SoundEngine& engine) {
  ReleaseCapture(engine);
  engine.capture.temp_file.reset();
}
