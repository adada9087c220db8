#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SoundEngine;

// Control identifiers of the readout panel.
inline constexpr int kAverageRofField = 1007;
inline constexpr int kHighestRofField = 1008;
inline constexpr int kNumberOfShotsField = 1009;
inline constexpr int kAverageUnitField = 1010;
inline constexpr int kLowestRofField = 1011;
inline constexpr int kClipLengthField = 1012;
inline constexpr int kHighestUnitField = 1013;
inline constexpr int kLowestUnitField = 1014;
inline constexpr int kClipQualityField = 1017;

inline constexpr std::string_view kUnitBps = "bps";
inline constexpr std::string_view kUnitMs = "ms";

struct FieldText {
  int field_id;
  std::string text;
};

// A rate in balls per second as a readout shows it: "%f" of the rate when
// in_bps is 1, else "%f" of 1000 / rate, or "" for a rate below 1.0 or NaN.
std::string FormatRate(float rate_bps, std::uint8_t in_bps);

// The six readout texts in the order they are set: average, highest, lowest
// rate, number of shots, clip length, clip quality.
std::vector<FieldText> ReadoutFieldTexts(const SoundEngine& engine, std::uint8_t in_bps);

// The unit text for the three unit fields, in the order they are set.
std::vector<FieldText> UnitLabelFieldTexts(std::string_view unit);
