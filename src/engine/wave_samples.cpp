#include "engine/wave_samples.h"

#include <algorithm>
#include <new>

#include "engine/wave_layout.h"
#include "log/event_log.h"

namespace {

// Sample data is read in blocks of about this size, so a long 16-bit clip is
// never held whole beside its 8-bit samples.
constexpr std::uint32_t kBlockBytes = 64 * 1024;
constexpr std::int32_t kSixteenBitOffset = 32767;
constexpr std::int32_t kSixteenBitTop = 65535;
constexpr std::int32_t kEightBitStep = 256;

// Calls visit(first bytes of the frame) for each frame in file order.
template <typename Visit>
void ForEachFrame(std::FILE* file, std::uint64_t offset, std::uint32_t frame_count,
                  std::uint32_t frame_bytes, Visit visit) {
  const std::uint32_t frames_per_block = std::max<std::uint32_t>(1, kBlockBytes / frame_bytes);
  std::vector<std::uint8_t> block(static_cast<std::size_t>(frames_per_block) * frame_bytes);
  std::uint32_t done = 0;
  while (done < frame_count) {
    const std::uint32_t frames = std::min(frames_per_block, frame_count - done);
    ReadWaveBytes(file, offset + static_cast<std::uint64_t>(done) * frame_bytes, block.data(),
                  static_cast<std::size_t>(frames) * frame_bytes);
    for (std::uint32_t i = 0; i < frames; ++i) {
      visit(block.data() + static_cast<std::size_t>(i) * frame_bytes);
    }
    done += frames;
  }
}

std::int16_t SixteenBitAt(const std::uint8_t* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8U)));
}

std::optional<std::vector<std::uint8_t>> MakeSampleBuffer(std::uint32_t count) {
  try {
    return std::vector<std::uint8_t>(count);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace

float SixteenBitScale(std::int16_t largest) {
  // A clip without a positive value has no scale; it keeps its own level.
  if (largest <= 0) {
    return 1.0F;
  }
  return static_cast<float>(32767.0 / largest);
}

ConvertedSample ConvertSixteenBitValue(std::int16_t value, float scale) {
  const auto scaled = static_cast<std::int32_t>(static_cast<double>(value) * scale);
  const std::int32_t shifted = scaled + kSixteenBitOffset;
  if (shifted > kSixteenBitTop) {
    return {255, SampleRange::Above};
  }
  if (shifted < 0) {
    return {0, SampleRange::Below};
  }
  return {static_cast<std::uint8_t>(shifted / kEightBitStep), SampleRange::Within};
}

std::optional<std::vector<std::uint8_t>> ReadEightBitSamples(std::FILE* file, std::uint64_t offset,
                                                             std::uint32_t frame_count,
                                                             std::uint32_t frame_bytes) {
  auto samples = MakeSampleBuffer(frame_count);
  if (!samples) {
    return std::nullopt;
  }
  std::uint8_t* out = samples->data();
  ForEachFrame(file, offset, frame_count, frame_bytes,
               [&out](const std::uint8_t* frame) { *out++ = frame[0]; });
  return samples;
}

std::optional<std::vector<std::uint8_t>> ReadSixteenBitSamples(std::FILE* file,
                                                               std::uint64_t offset,
                                                               std::uint32_t frame_count,
                                                               std::uint32_t frame_bytes) {
  auto samples = MakeSampleBuffer(frame_count);
  if (!samples) {
    return std::nullopt;
  }
  // First pass: the largest value; negative values never raise it.
  std::int16_t largest = 0;
  ForEachFrame(file, offset, frame_count, frame_bytes, [&largest](const std::uint8_t* frame) {
    largest = std::max(largest, SixteenBitAt(frame));
  });
  const float scale = SixteenBitScale(largest);
  std::uint8_t* out = samples->data();
  // A lopsided clip logs once per sample: one open for the whole pass.
  LogBatch range_errors(LogTarget::Critical);
  ForEachFrame(file, offset, frame_count, frame_bytes, [&](const std::uint8_t* frame) {
    const ConvertedSample converted = ConvertSixteenBitValue(SixteenBitAt(frame), scale);
    if (converted.range == SampleRange::Above) {
      range_errors.Add("Error-greater than 255");
    } else if (converted.range == SampleRange::Below) {
      range_errors.Add("Error-Negative Value");
    }
    *out++ = converted.value;
  });
  return samples;
}
