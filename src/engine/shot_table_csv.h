#pragma once

#include <string>
#include <string_view>

struct SoundEngine;

// The columns of the shot table's CSV, in order.
inline constexpr std::string_view kShotCsvHeader = "shot,time_s,position,split_ms,rate_bps,counts";

// The shot table as CSV. Lines starting with '#' come first and name the
// file, the detector and the six figures (rates in bps, as the readouts show
// them); then the header and a line per shot. Numbers have '.' as the
// decimal point whatever the locale; time has microseconds, split and rate 9
// significant digits, so they read back as the same 32-bit values as in the
// JSON report; counts is "yes" or "no"; the last shot's split, rate and
// counts are empty.
std::string ShotTableCsv(const SoundEngine& engine, std::string_view file);
