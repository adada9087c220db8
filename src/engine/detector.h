#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

struct SoundEngine;

// The shot detectors a load can use. Classic follows its fixed bands exactly
// and is the default; robust finds bursts by their rise in loudness, for
// noisy, echoing, clipped, quiet or lossy-coded recordings.
enum class Detector : std::uint8_t { Classic, Robust };

std::string_view DetectorName(Detector detector);
std::optional<Detector> DetectorNamed(std::string_view name);

// Shot list and rate-of-fire figures by the robust detector, recorded exactly
// as the classic detector records its shots. False (with a message) without
// a clip.
bool DetectShotsRobust(SoundEngine& engine);

// Where the robust detector finds shots in 8-bit samples (mid-scale 128).
std::vector<std::uint32_t> RobustShotPositions(const std::uint8_t* samples, std::uint32_t count,
                                               std::uint32_t sample_rate);

// Shot list and figures by `detector`; the engine remembers which one ran.
bool DetectShotsWith(SoundEngine& engine, Detector detector);

// The clip held analysed again from the start with `detector`. False (with a
// message) without a clip.
bool AnalyseAgain(SoundEngine& engine, Detector detector);
