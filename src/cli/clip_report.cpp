#include "cli/clip_report.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "cli/json_text.h"
#include "engine/readout_texts.h"
#include "engine/shot_intervals.h"
#include "engine/sound_engine.h"

namespace {

// Labels beside the readouts and the text after the unit-less ones, in the
// order of Readout.
struct ReadoutLabel {
  const char* label;
  const char* suffix;  // null: the rate unit
};

constexpr std::array<ReadoutLabel, kReadoutCount> kReadoutLabels = {{
    {"Average ROF", nullptr},
    {"Highest ROF", nullptr},
    {"Lowest ROF", nullptr},
    {"Number Of Shots", "During Clip"},
    {"Clip Length", "Seconds"},
    {"Clip Quality", ""},
}};

const ReadoutLabel& LabelOf(Readout readout) {
  return kReadoutLabels[static_cast<std::size_t>(readout)];
}

template <typename... Args>
std::string Printf(const char* pattern, Args... args) {
  std::array<char, 256> buffer{};
  std::snprintf(buffer.data(), buffer.size(), pattern, args...);
  return buffer.data();
}

}  // namespace

std::string TextReport(const SoundEngine& engine, const std::string& file, RateUnit unit,
                       bool with_shots) {
  std::string out = file + "\n";
  for (const ReadoutText& readout : ReadoutTexts(engine, unit)) {
    const ReadoutLabel& label = LabelOf(readout.readout);
    const std::string suffix =
        label.suffix != nullptr ? std::string(label.suffix) : std::string(UnitText(unit));
    out += Printf("  %-16s %s", label.label, readout.text.c_str());
    out += suffix.empty() ? "\n" : " " + suffix + "\n";
  }
  out += Printf("  %-16s %s\n", "Detector", std::string(DetectorName(engine.detector)).c_str());
  if (!with_shots) {
    return out;
  }
  out += "  Shot   Position   Time (s)  Interval (ms)  Rate (bps)  Accepted\n";
  const std::uint32_t rate = engine.GetSampleRate();
  for (std::uint32_t i = 0; i < engine.GetShotCount(); ++i) {
    const ShotRecord shot = engine.GetShot(i);
    const double seconds = rate == 0 ? 0.0 : static_cast<double>(shot.position) / rate;
    const ShotInterval interval = IntervalAfterShot(engine, i);
    out += Printf("  %4d %10u %10.3f", shot.number + 1, shot.position, seconds);
    if (interval.has_next) {
      out += Printf(" %14.3f %11.3f  %s\n", static_cast<double>(interval.interval_ms),
                    static_cast<double>(interval.rate_bps), interval.accepted ? "yes" : "no");
    } else {
      out += Printf(" %14s %11s  %s\n", "-", "-", "-");
    }
  }
  return out;
}

std::string JsonReport(const SoundEngine& engine, const std::string& file, RateUnit unit) {
  std::string out = "{\"file\":" + JsonString(file);
  out += ",\"has_data\":" + std::string(engine.HasData() ? "true" : "false");
  out += ",\"sample_rate\":" + std::to_string(engine.GetSampleRate());
  out += ",\"sample_count\":" + std::to_string(engine.GetSampleCount());
  out += ",\"clip_length\":" + std::to_string(engine.GetClipLength());
  out += ",\"clip_quality\":" + std::to_string(engine.GetClipQuality());
  out += ",\"peak_sample\":" + std::to_string(engine.GetPeakSample());
  out += ",\"number_of_shots\":" + std::to_string(engine.GetNumberOfShots());
  out += ",\"shot_list_count\":" + std::to_string(engine.GetShotCount());
  out += ",\"highest_rof\":" + JsonFloat(engine.GetHighestRof());
  out += ",\"lowest_rof\":" + JsonFloat(engine.GetLowestRof());
  out += ",\"average_rof\":" + JsonFloat(engine.GetAverageRof());
  out += ",\"unit\":" + JsonString(UnitText(unit));
  out += ",\"detector\":" + JsonString(DetectorName(engine.detector));
  out += ",\"readouts\":{";
  bool first = true;
  for (const ReadoutText& readout : ReadoutTexts(engine, unit)) {
    out += first ? "" : ",";
    out += JsonString(ReadoutKey(readout.readout)) + ":" + JsonString(readout.text);
    first = false;
  }
  out += "},\"shots\":[";
  for (std::uint32_t i = 0; i < engine.GetShotCount(); ++i) {
    const ShotRecord shot = engine.GetShot(i);
    const ShotInterval interval = IntervalAfterShot(engine, i);
    out += i == 0 ? "{" : ",{";
    out += "\"position\":" + std::to_string(shot.position);
    out += ",\"number\":" + std::to_string(shot.number);
    if (interval.has_next) {
      out += ",\"rate_to_next\":" + JsonFloat(interval.rate_bps);
      out += ",\"split_ms\":" + JsonFloat(interval.interval_ms);
      out += ",\"accepted\":" + std::string(interval.accepted ? "true" : "false");
    }
    out += "}";
  }
  out += "]}";
  return out;
}
