#include "media/first_channel.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/samplefmt.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kFullScale = 32768.0;

std::int16_t Clipped(long value) {
  return static_cast<std::int16_t>(std::clamp<long>(value, INT16_MIN, INT16_MAX));
}

// One converter per sample type.
std::int16_t FromSample(std::uint8_t value) {
  return static_cast<std::int16_t>((value - 0x80) * 256);
}
std::int16_t FromSample(std::int16_t value) { return value; }
std::int16_t FromSample(std::int32_t value) { return static_cast<std::int16_t>(value >> 16); }
std::int16_t FromSample(std::int64_t value) { return static_cast<std::int16_t>(value >> 48); }
std::int16_t FromSample(float value) {
  return Clipped(std::lrintf(value * static_cast<float>(kFullScale)));
}
std::int16_t FromSample(double value) { return Clipped(std::lrint(value * kFullScale)); }

// Planar frames hold the first channel alone in plane 0; packed frames
// interleave it with the others.
template <typename Sample>
void Append(const AVFrame& frame, bool planar, std::vector<std::int16_t>& out) {
  const std::size_t stride = planar ? 1 : static_cast<std::size_t>(frame.ch_layout.nb_channels);
  const auto count = static_cast<std::size_t>(frame.nb_samples);
  const std::size_t first = out.size();
  out.resize(first + count);
  for (std::size_t k = 0; k < count; ++k) {
    Sample value;
    std::memcpy(&value, frame.data[0] + k * stride * sizeof(Sample), sizeof(Sample));
    out[first + k] = FromSample(value);
  }
}

using Appender = void (*)(const AVFrame&, bool, std::vector<std::int16_t>&);
struct FormatAppender {
  AVSampleFormat packed_format;
  Appender append;
};
constexpr FormatAppender kAppenders[] = {
    {AV_SAMPLE_FMT_U8, &Append<std::uint8_t>},  {AV_SAMPLE_FMT_S16, &Append<std::int16_t>},
    {AV_SAMPLE_FMT_S32, &Append<std::int32_t>}, {AV_SAMPLE_FMT_S64, &Append<std::int64_t>},
    {AV_SAMPLE_FMT_FLT, &Append<float>},        {AV_SAMPLE_FMT_DBL, &Append<double>},
};

}  // namespace

bool AppendFirstChannel(const AVFrame& frame, std::vector<std::int16_t>& out) {
  if (frame.nb_samples <= 0 || frame.ch_layout.nb_channels <= 0 || frame.data[0] == nullptr) {
    return frame.nb_samples == 0;
  }
  const auto format = static_cast<AVSampleFormat>(frame.format);
  const AVSampleFormat packed = av_get_packed_sample_fmt(format);
  for (const FormatAppender& appender : kAppenders) {
    if (appender.packed_format == packed) {
      appender.append(frame, av_sample_fmt_is_planar(format) != 0, out);
      return true;
    }
  }
  return false;
}
