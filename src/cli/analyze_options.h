#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/detector.h"

struct AnalyzeOptions {
  bool json = false;
  bool csv = false;
  bool milliseconds = false;
  bool shots = false;
  bool help = false;
  bool version = false;
  bool live = false;
  std::optional<std::uint32_t> raw_rate;  // raw unsigned 8-bit samples at this rate
  Detector detector = Detector::Classic;
  std::vector<std::string> files;
  std::string error;  // non-empty for bad usage
};

AnalyzeOptions ParseAnalyzeOptions(const std::vector<std::string>& arguments);

extern const char* const kAnalyzeUsage;
