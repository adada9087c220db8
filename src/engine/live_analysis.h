#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/classic_detection.h"
#include "engine/detector.h"
#include "engine/quality_counts.h"
#include "engine/sound_engine.h"

// Largest number of samples a live analysis takes: a WAVE file's limit.
inline constexpr std::uint32_t kLiveSampleLimit = 0x7FFFFFFFU;

// A clip analysed while its samples arrive, in chunks of any size. After
// every chunk, `engine` holds the samples so far and exactly the figures and
// shot list a load of them would give, so the readouts, the waveform and the
// reports all work from it as from a loaded clip. (A shot whose end the
// detector's windows can't decide yet is left out by that analysis too; it
// shows once decided.) So once the input ends, it is the analysis of the
// whole input.
//
// The classic detector carries on from where it stopped, and the quality
// counts too; only when the peak rises, which changes its bands, does it
// run again over every sample held: at most 255 times, and in a real clip a
// few times near its start. The robust detector runs again over every sample
// at each chunk.
struct LiveAnalysis {
  // Room is set aside for `expected_samples`, by default the most it takes.
  LiveAnalysis(std::uint32_t sample_rate, Detector detector,
               std::uint32_t expected_samples = kLiveSampleLimit);
  SoundEngine engine{nullptr, nullptr};
  QualityCounts counts;
  std::optional<ClassicDetection> classic;  // with the bands of `bands_peak`
  std::uint8_t bands_peak = 0;
  std::uint32_t reruns = 0;  // of the classic detector over every sample held
};

// Takes the next samples. False, taking none of them, when they would pass
// kLiveSampleLimit or memory runs out; the analysis of what came before
// stays.
bool FeedLiveAnalysis(LiveAnalysis& live, const std::uint8_t* samples, std::size_t count);
