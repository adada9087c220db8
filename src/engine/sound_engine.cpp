#include "engine/sound_engine.h"

#include "engine/live_analysis.h"
#include "engine/recording.h"
#include "log/event_log.h"
#include "riff/replacement_file.h"

CaptureState::CaptureState() = default;
CaptureState::~CaptureState() = default;
CaptureState::CaptureState(CaptureState&&) noexcept = default;
CaptureState& CaptureState::operator=(CaptureState&&) noexcept = default;

SoundEngine::SoundEngine(AudioSystem* audio, Notifier* message_notifier)
    : audio_system(audio), notifier(message_notifier) {
  Reset(*this);
  if (audio_system != nullptr && !audio_system->HasOutputDevice()) {
    WriteLogEntry(LogTarget::Critical, "Failed to Create Sound OBject");
  }
}

SoundEngine::~SoundEngine() { DiscardRecordingResources(*this); }

void ClearAnalysis(SoundEngine& engine) {
  engine.average_rof = 0.0F;
  engine.highest_rof = 0.0F;
  engine.lowest_rof = 0.0F;
  engine.number_of_shots = 0;
  engine.clip_quality = kInitialClipQuality;
  engine.peak_sample = 0;
  engine.shots.clear();
  engine.shots.shrink_to_fit();
  engine.shot_list_count = 0;
  engine.detector = Detector::Classic;
}

void Reset(SoundEngine& engine) {
  ClearAnalysis(engine);
  engine.clip_length = 0;
  engine.sample_rate = 0;
  engine.sample_count = 0;
  engine.samples.reset();
  engine.recording = false;
}

std::uint32_t HeldSampleCount(const SoundEngine& engine) {
  if (!engine.samples.has_value()) {
    return 0;
  }
  const auto held = engine.samples->size();
  return held < engine.sample_count ? static_cast<std::uint32_t>(held) : engine.sample_count;
}
