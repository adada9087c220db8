#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/audio_devices.h"
#include "engine/detector.h"

class Notifier;
class ReplacementFile;
struct LiveAnalysis;

// One detected shot: the sample index of its onset and its 0-based order in
// the shot list, reduced to 8 bits.
struct ShotRecord {
  std::uint32_t position = 0;
  std::uint8_t number = 0;
};

// Bookkeeping of a running recording, kept beside the engine's clip fields.
struct CaptureState {
  CaptureState();
  ~CaptureState();
  CaptureState(CaptureState&&) noexcept;
  CaptureState& operator=(CaptureState&&) noexcept;
  std::unique_ptr<ReplacementFile> temp_file;  // the recording's "tmp" until it is finished
  std::uint32_t read_cursor = 0;
  // The running figures of what was captured so far; none when idle, or
  // once feeding it failed.
  std::unique_ptr<LiveAnalysis> live;
};

inline constexpr std::int16_t kInitialClipQuality = 100;

// The one object that holds the current clip and everything known about it.
// Operations live in the engine's other files as free functions; only they
// write these fields. Everything else reads through the getters.
struct SoundEngine {
  // Looks for an output device through `audio` ("Failed to Create Sound
  // OBject" when there is none). Both pointers must outlive the engine; `audio` may be
  // null (an engine that only analyses, as a live analysis's: no device is
  // looked for), `notifier` may be null (messages are dropped).
  SoundEngine(AudioSystem* audio, Notifier* notifier);
  ~SoundEngine();
  SoundEngine(const SoundEngine&) = delete;
  SoundEngine& operator=(const SoundEngine&) = delete;

  float average_rof = 0.0F;
  float highest_rof = 0.0F;
  float lowest_rof = 0.0F;
  std::int32_t number_of_shots = 0;
  std::uint32_t clip_length = 0;
  std::int16_t clip_quality = kInitialClipQuality;
  std::uint32_t sample_rate = 0;
  std::uint32_t sample_count = 0;
  std::uint8_t peak_sample = 0;
  std::optional<std::vector<std::uint8_t>> samples;  // none, or the clip
  std::vector<ShotRecord> shots;
  std::uint32_t shot_list_count = 0;
  Detector detector = Detector::Classic;  // the one that gave the shots
  // The one loads use: a setting of the user's, which Reset keeps.
  Detector chosen_detector = Detector::Classic;
  bool recording = false;
  std::unique_ptr<CaptureDevice> capture_device;
  std::unique_ptr<CaptureBuffer> capture_buffer;
  CaptureState capture;

  AudioSystem* audio_system = nullptr;
  Notifier* notifier = nullptr;

  float GetAverageRof() const { return average_rof; }
  float GetHighestRof() const { return highest_rof; }
  float GetLowestRof() const { return lowest_rof; }
  std::int32_t GetNumberOfShots() const { return number_of_shots; }
  std::uint32_t GetClipLength() const { return clip_length; }
  std::int16_t GetClipQuality() const { return clip_quality; }
  std::uint32_t GetSampleCount() const { return sample_count; }
  std::uint8_t GetSample(std::uint32_t index) const { return (*samples)[index]; }
  std::uint32_t GetSampleRate() const { return sample_rate; }
  std::uint8_t GetPeakSample() const { return peak_sample; }
  std::uint32_t GetShotCount() const { return shot_list_count; }
  ShotRecord GetShot(std::uint32_t index) const { return shots[index]; }
  bool IsRecording() const { return recording; }
  bool HasData() const { return samples.has_value() && sample_count != 0; }
};

// Back to the empty state: figures 0, quality 100, no clip, no shots, not
// recording. The devices and the capture bookkeeping are left alone.
// Only the analysis's figures back to their first values: no shots, rates
// 0, quality 100, no peak. The clip stays.
void ClearAnalysis(SoundEngine& engine);
void Reset(SoundEngine& engine);

// Samples actually held in memory (sample_count counts file bytes while a
// recording runs).
std::uint32_t HeldSampleCount(const SoundEngine& engine);
