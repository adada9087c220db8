#pragma once

#include <cstdint>
#include <vector>

struct AVFrame;

// Appends the first channel of a decoded frame as 16-bit values, converted
// as FFmpeg's own resampler converts each sample format (rounded, clipped;
// wider integers keep their top 16 bits). False for a format it can't read.
bool AppendFirstChannel(const AVFrame& frame, std::vector<std::int16_t>& out);
