#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <iterator>
#include <utility>
#include <vector>

#include "engine/analysis.h"
#include "engine/detector.h"
#include "engine/shot_figures.h"
#include "engine/sound_engine.h"

// A shot is a rise in loudness far above the frame-to-frame wander of noise,
// reaching about the level of the shots around it, at least a minimum gap
// after the previous shot. Loudness is measured over short frames (one pass);
// each accepted rise is then traced back to the first sample of its burst.

namespace {

constexpr double kFrameSeconds = 0.001;
// Fewer samples make a noise frame's level wander too much (8 kHz clips).
constexpr std::uint32_t kMinFrameSamples = 16;
// Quantisation noise of 8-bit samples keeps silence finite.
constexpr double kEnergyFloor = 0.1;
// A shot's frame stands this far above the frames before it.
constexpr double kRiseDb = 6.0;
// In a reverberant wash (and its lossy coding) a shot may rise less: such a
// rise counts where no larger one is near and it is about as loud as the
// shots around it usually are (their median level: the loudest may be a
// coder's artefact).
constexpr double kWeakRiseDb = 4.0;
constexpr double kWeakLevelDropDb = 4.0;
// Shots stand clear of what comes before them: around a shot, the median
// shot stands this far above its background. Rises in mere noise (wind,
// rumble) that pass the rise test stand barely above it.
constexpr double kClearShotDb = 8.5;
constexpr std::uint32_t kBackgroundFrames = 8;
// A rise this much louder than the group it falls in starts the group anew;
// so does one about as loud that stands clearly further above the frames
// before it (what rose first was a lossy coder's pre-echo, not the shot).
constexpr double kOutshineDb = 6.0;
constexpr double kAsLoudDb = 3.0;
constexpr double kSharperDb = 3.0;
// Frames after a rise that hold the burst's level.
constexpr std::uint32_t kBurstFrames = 4;
// Shots more than this below the loudest shot near them are echoes or noise.
constexpr double kLevelDropDb = 14.0;
constexpr double kNeighbourhoodSeconds = 0.5;
// 35 shots a second, less jitter, is 26 ms; early reflections come sooner.
constexpr double kMinGapSeconds = 0.018;
// The burst starts where the energy over a short window first gets past
// halfway from the background to the burst's loudest frame (pre-echo of lossy
// coders and noise stay below it); the window's centre is the start. A frame
// is a steadier mark than the loudest short window, which one spike can set.
constexpr double kWindowSeconds = 0.0005;
constexpr std::uint32_t kMinWindowSamples = 4;
constexpr double kCrossingFraction = 0.55;
constexpr double kQuietFactor = 2.0;
constexpr std::int32_t kMidScale = 128;

double Decibels(double energy) { return 10.0 * std::log10(energy + kEnergyFloor); }

struct Rise {
  std::uint32_t frame = 0;
  std::uint32_t loudest_frame = 0;  // where the burst level was found
  double level = 0.0;               // burst level, dB
  double background = 0.0;          // mean square of a sample before it
  double stand = 0.0;               // dB its first frames stand above that
};

// Mean squared sample values over frames of `frame` samples; floats, as a
// long clip has many frames.
std::vector<float> FrameEnergies(const std::uint8_t* samples, std::uint32_t count,
                                 std::uint32_t frame) {
  std::vector<float> energies(count / frame);
  for (std::size_t f = 0; f < energies.size(); ++f) {
    std::int64_t energy = 0;
    for (std::uint32_t k = 0; k < frame; ++k) {
      const std::int32_t value = samples[f * frame + k] - kMidScale;
      energy += std::int64_t{value} * value;
    }
    energies[f] = static_cast<float>(static_cast<double>(energy) / frame);
  }
  return energies;
}

// The frame before each group of frames that rise above their background,
// groups closer than the gap taken as one. The background is the median of
// the frames before, so the last shot's burst at high rates doesn't raise it.
std::vector<Rise> FindRises(const std::vector<float>& energies, std::uint32_t gap_frames,
                            double rise_db) {
  std::vector<Rise> rises;
  std::array<float, kBackgroundFrames> before{};
  for (std::size_t f = kBackgroundFrames + 1; f < energies.size(); ++f) {
    std::copy_n(energies.begin() + static_cast<std::ptrdiff_t>(f - kBackgroundFrames - 1),
                kBackgroundFrames, before.begin());
    std::nth_element(before.begin(), before.begin() + kBackgroundFrames / 2, before.end());
    const double background = before[kBackgroundFrames / 2];
    if (Decibels(energies[f]) - Decibels(background) < rise_db) {
      continue;
    }
    const std::size_t end = std::min<std::size_t>(f + kBurstFrames, energies.size());
    const double level = Decibels(*std::max_element(energies.begin() + f, energies.begin() + end));
    const auto first = static_cast<std::uint32_t>(f - 1);
    const Rise rise{first, first, level, background, level - Decibels(background)};
    if (rises.empty() || first - rises.back().frame >= gap_frames) {
      rises.push_back(rise);
    } else if (level > rises.back().level + kOutshineDb ||
               (level >= rises.back().level - kAsLoudDb &&
                rise.stand >= rises.back().stand + kSharperDb)) {
      // What rose before was a noise burst or pre-echo: the shot starts here.
      rises.back() = rise;
    } else if (level > rises.back().level) {
      rises.back().level = level;
      rises.back().loudest_frame = first;
    }
  }
  return rises;
}

// Keeps the rises within kLevelDropDb of the loudest rise less than the
// neighbourhood away (a sliding maximum over the rises in time order).
std::vector<Rise> LoudEnough(const std::vector<Rise>& rises, std::uint32_t neighbourhood_frames) {
  std::vector<Rise> kept;
  std::deque<std::size_t> loudest;  // indices, levels falling
  std::size_t next = 0;
  for (std::size_t r = 0; r < rises.size(); ++r) {
    while (next < rises.size() && rises[next].frame <= rises[r].frame + neighbourhood_frames) {
      while (!loudest.empty() && rises[loudest.back()].level <= rises[next].level) {
        loudest.pop_back();
      }
      loudest.push_back(next++);
    }
    while (rises[loudest.front()].frame + neighbourhood_frames < rises[r].frame) {
      loudest.pop_front();
    }
    if (rises[r].level >= rises[loudest.front()].level - kLevelDropDb) {
      kept.push_back(rises[r]);
    }
  }
  return kept;
}

bool ByFrame(const Rise& a, const Rise& b) { return a.frame < b.frame; }

// The rises of `rises` within `frames` of `rise`, either side.
using RiseRange = std::pair<std::vector<Rise>::const_iterator, std::vector<Rise>::const_iterator>;
RiseRange RisesNear(const std::vector<Rise>& rises, const Rise& rise, std::uint32_t frames) {
  const Rise from{rise.frame > frames ? rise.frame - frames : 0};
  const Rise to{rise.frame + frames};
  return {std::lower_bound(rises.begin(), rises.end(), from, ByFrame),
          std::upper_bound(rises.begin(), rises.end(), to, ByFrame)};
}

// The median of one figure of the rises in [first, end), which isn't empty.
double MedianOf(RiseRange rises, double Rise::*figure) {
  std::vector<double> figures;
  for (auto rise = rises.first; rise != rises.second; ++rise) {
    figures.push_back((*rise).*figure);
  }
  const auto middle = figures.begin() + static_cast<std::ptrdiff_t>(figures.size() / 2);
  std::nth_element(figures.begin(), middle, figures.end());
  return *middle;
}

// The shots with the weak rises added that stand far from every larger rise
// and within kWeakLevelDropDb of the median level of the shots near them.
std::vector<Rise> WithWeakRises(const std::vector<Rise>& shots, const std::vector<Rise>& larger,
                                const std::vector<Rise>& weak, std::uint32_t gap_frames,
                                std::uint32_t neighbourhood_frames) {
  std::vector<Rise> added;
  for (const Rise& rise : weak) {
    const RiseRange near_larger = RisesNear(larger, rise, gap_frames);
    const RiseRange near_shots = RisesNear(shots, rise, neighbourhood_frames);
    if (near_larger.first != near_larger.second || near_shots.first == near_shots.second) {
      continue;
    }
    if (rise.level >= MedianOf(near_shots, &Rise::level) - kWeakLevelDropDb) {
      added.push_back(rise);
    }
  }
  std::vector<Rise> merged;
  std::merge(shots.begin(), shots.end(), added.begin(), added.end(), std::back_inserter(merged),
             ByFrame);
  return merged;
}

// The first sample of the burst that rises after the start of its frame.
std::uint32_t FirstBurstSample(const std::uint8_t* samples, std::uint32_t count,
                               std::uint32_t frame, std::uint32_t window, const Rise& rise) {
  const auto power = [&](std::uint32_t i) {
    const std::int32_t value = samples[i] - kMidScale;
    return static_cast<double>(value * value);
  };
  const std::uint32_t from = rise.frame * frame;
  const std::uint32_t to =
      std::min(count - window, (rise.loudest_frame + kBurstFrames + 2) * frame);
  const double peak = std::pow(10.0, rise.level / 10) - kEnergyFloor;  // of the loudest frame
  const double halfway = rise.background + kCrossingFraction * (peak - rise.background);
  double sum = 0.0;
  for (std::uint32_t i = from; i < from + window; ++i) {
    sum += power(i);
  }
  std::uint32_t crossing = from;
  for (; crossing + 1 < to && sum / window < halfway; ++crossing) {
    sum += power(crossing + window) - power(crossing);
  }
  // The burst's first samples may be small: back over what stands out from
  // the background, a little way only (the pre-echo of lossy coders does too).
  std::uint32_t start = crossing + window / 2;
  const double quiet = kQuietFactor * std::sqrt(rise.background) + 1;
  for (std::uint32_t back = 0; back < window && start > from && std::sqrt(power(start - 1)) > quiet;
       ++back) {
    --start;
  }
  return start;
}

}  // namespace

std::vector<std::uint32_t> RobustShotPositions(const std::uint8_t* samples, std::uint32_t count,
                                               std::uint32_t sample_rate) {
  const std::uint32_t frame = std::max(
      kMinFrameSamples, static_cast<std::uint32_t>(std::lround(sample_rate * kFrameSeconds)));
  const auto frames_in = [&](double seconds) {
    return static_cast<std::uint32_t>(std::lround(seconds * sample_rate / frame));
  };
  const std::uint32_t window = std::max(
      kMinWindowSamples, static_cast<std::uint32_t>(std::lround(sample_rate * kWindowSeconds)));
  const std::vector<float> energies = FrameEnergies(samples, count, frame);
  const std::uint32_t gap = frames_in(kMinGapSeconds);
  const std::uint32_t neighbourhood = frames_in(kNeighbourhoodSeconds);
  const std::vector<Rise> rises = FindRises(energies, gap, kRiseDb);
  const std::vector<Rise> shots = LoudEnough(rises, neighbourhood);
  std::vector<std::uint32_t> positions;
  for (const Rise& rise :
       WithWeakRises(shots, rises, FindRises(energies, gap, kWeakRiseDb), gap, neighbourhood)) {
    const RiseRange near_shots = RisesNear(shots, rise, neighbourhood);
    if (near_shots.first != near_shots.second &&
        MedianOf(near_shots, &Rise::stand) >= kClearShotDb && rise.frame * frame + window < count) {
      positions.push_back(FirstBurstSample(samples, count, frame, window, rise));
    }
  }
  return positions;
}

bool DetectShotsRobust(SoundEngine& engine) {
  if (!HoldsSamplesOrReport(engine)) {
    return false;
  }
  std::uint32_t last_onset = 0;
  for (const std::uint32_t onset :
       RobustShotPositions(engine.samples->data(), HeldSampleCount(engine), engine.sample_rate)) {
    RecordShot(engine, last_onset, onset);
  }
  FinishShotFigures(engine);
  return true;
}
