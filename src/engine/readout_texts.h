#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct SoundEngine;

// The six figures of a clip as the readouts show them, shared by the window
// and the command-line analyser.
enum class Readout { AverageRof, HighestRof, LowestRof, NumberOfShots, ClipLength, ClipQuality };
inline constexpr std::size_t kReadoutCount = 6;

// Rates in balls per second, or as milliseconds between shots.
enum class RateUnit { Bps, Ms };

// The readout's name in reports: "average_rof", "highest_rof", "lowest_rof",
// "number_of_shots", "clip_length", "clip_quality".
std::string_view ReadoutKey(Readout readout);

// "bps" or "ms", as written beside the three rates.
std::string_view UnitText(RateUnit unit);

// A rate in balls per second as a readout shows it: "%f" of the rate, or in
// milliseconds "%f" of 1000 / rate, and "" for a rate below 1.0 or NaN.
std::string FormatRate(float rate_bps, RateUnit unit);

struct ReadoutText {
  Readout readout;
  std::string text;
};

// The widest texts any readout can show, from the analysis's own limits: its
// fastest rate (just below 30 BPS), its slowest rate in milliseconds (1 BPS,
// as slower ones show empty), and "%d" of any 32-bit shot count or clip
// length (a length of 2^31 seconds or more shows negative).
std::vector<std::string> WidestReadoutTexts();

// The six texts in the order they are set: average, highest, lowest rate,
// number of shots, clip length, clip quality.
std::array<ReadoutText, kReadoutCount> ReadoutTexts(const SoundEngine& engine, RateUnit unit);
