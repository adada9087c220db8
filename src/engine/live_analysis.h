#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/detector.h"
#include "engine/sound_engine.h"

// A clip analysed while its samples arrive, in chunks of any size. After
// every chunk, `engine` holds the samples so far and exactly the figures and
// shot list a load of them would give, so the readouts, the waveform and the
// reports all work from it as from a loaded clip. (A shot whose end the
// detector's windows can't decide yet is left out by that analysis too; it
// shows once decided.) So once the input ends, it is the analysis of the
// whole input.
struct LiveAnalysis {
  LiveAnalysis(std::uint32_t sample_rate, Detector detector);
  SoundEngine engine{nullptr, nullptr};
};

// Largest number of samples a live analysis takes: a WAVE file's limit.
inline constexpr std::uint32_t kLiveSampleLimit = 0x7FFFFFFFU;

// Takes the next samples. False, taking none of them, when they would pass
// kLiveSampleLimit or memory runs out; the analysis of what came before
// stays.
bool FeedLiveAnalysis(LiveAnalysis& live, const std::uint8_t* samples, std::size_t count);
