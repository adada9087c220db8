#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

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

// Shot list and figures by `detector`; the engine remembers which one ran.
bool DetectShotsWith(SoundEngine& engine, Detector detector);
