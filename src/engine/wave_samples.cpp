#include "engine/wave_samples.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

#include "engine/wave_layout.h"
#include "log/event_log.h"
#include "riff/little_endian.h"

namespace {

// Sample data is read in blocks of about this size, so a long 16-bit clip is
// never held whole beside its 8-bit samples.
constexpr std::uint32_t kBlockBytes = 64 * 1024;
// Loops over chunks of a fixed length are vectorised by the compiler.
constexpr std::uint32_t kChunk = 128;
constexpr std::int32_t kSixteenBitOffset = 32767;
constexpr std::int32_t kSixteenBitTop = 65535;
constexpr std::int32_t kEightBitStep = 256;

// Calls visit(values, frames, first) a block at a time, in file order:
// `values` holds the first `sample_bytes` of each frame one after the other,
// and `first` is the number of the block's first frame. The block is no
// larger than the data, so a short clip needs no 64 KiB buffer.
template <typename Visit>
void ForEachBlock(FileWindow& file, std::uint64_t offset, std::uint32_t frame_count,
                  std::uint32_t frame_bytes, std::uint32_t sample_bytes, Visit visit) {
  const std::uint32_t frames_per_block =
      std::min(frame_count, std::max<std::uint32_t>(1, kBlockBytes / frame_bytes));
  std::vector<std::uint8_t> block(static_cast<std::size_t>(frames_per_block) * frame_bytes);
  for (std::uint32_t done = 0; done < frame_count;) {
    const std::uint32_t frames = std::min(frames_per_block, frame_count - done);
    ReadWaveBytes(file, offset + static_cast<std::uint64_t>(done) * frame_bytes, block.data(),
                  static_cast<std::size_t>(frames) * frame_bytes);
    // Other channels are dropped: the first channel's values move together.
    for (std::uint32_t k = 1; frame_bytes != sample_bytes && k < frames; ++k) {
      std::memmove(block.data() + std::size_t{k} * sample_bytes,
                   block.data() + std::size_t{k} * frame_bytes, sample_bytes);
    }
    visit(block.data(), frames, done);
    done += frames;
  }
}

// The block's little-endian values as numbers of this machine.
void LoadValues(const std::uint8_t* bytes, std::uint32_t count, std::vector<std::int16_t>& values) {
  values.resize(count);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(values.data(), bytes, std::size_t{count} * 2);
  } else {
    for (std::uint32_t k = 0; k < count; ++k) {
      values[k] = static_cast<std::int16_t>(LoadU16Le(bytes + std::size_t{k} * 2));
    }
  }
}

std::int16_t LargestOf(const std::int16_t* values, std::uint32_t count, std::int16_t largest) {
  std::uint32_t k = 0;
  for (; count - k >= kChunk; k += kChunk) {
    const std::int16_t* chunk = values + k;
    std::int16_t chunk_largest = largest;
    for (std::uint32_t j = 0; j < kChunk; ++j) {
      chunk_largest = std::max(chunk_largest, chunk[j]);
    }
    largest = chunk_largest;
  }
  for (; k < count; ++k) {
    largest = std::max(largest, values[k]);
  }
  return largest;
}

// A value's conversion packed in 16 bits: the 8-bit value in the low byte and
// its SampleRange above.
std::uint16_t PackedConversion(std::int16_t value, float scale) {
  const ConvertedSample converted = ConvertSixteenBitValue(value, scale);
  return static_cast<std::uint16_t>(converted.value |
                                    (static_cast<unsigned>(converted.range) << 8U));
}

// Every 16-bit value converted once, indexed by its bit pattern: converting
// a long clip is then one lookup per sample. Not worth making for a clip
// with fewer samples than the table has entries.
using ConversionTable = std::array<std::uint16_t, 65536>;

std::unique_ptr<ConversionTable> MakeConversionTable(float scale, std::uint32_t frame_count) {
  if (frame_count < std::tuple_size_v<ConversionTable>) {
    return nullptr;
  }
  auto table = std::make_unique<ConversionTable>();
  for (std::uint32_t bits = 0; bits < table->size(); ++bits) {
    (*table)[bits] = PackedConversion(static_cast<std::int16_t>(bits), scale);
  }
  return table;
}

// Converts `count` values into `out`, then logs those out of range in order;
// only chunks that have any are looked at again.
void ConvertValues(const ConversionTable* table, float scale, const std::int16_t* values,
                   std::uint32_t count, std::uint8_t* out, LogBatch& range_errors) {
  const auto packed = [&](std::int16_t value) {
    return table != nullptr ? (*table)[static_cast<std::uint16_t>(value)]
                            : PackedConversion(value, scale);
  };
  for (std::uint32_t k = 0; k < count; k += kChunk) {
    const std::uint32_t end = std::min(count, k + kChunk);
    unsigned out_of_range = 0;
    for (std::uint32_t j = k; j < end; ++j) {
      const std::uint16_t entry = packed(values[j]);
      out[j] = static_cast<std::uint8_t>(entry);
      out_of_range |= entry >> 8U;
    }
    for (std::uint32_t j = k; out_of_range != 0 && j < end; ++j) {
      const auto range = static_cast<SampleRange>(packed(values[j]) >> 8U);
      if (range == SampleRange::Above) {
        range_errors.Add("Error-greater than 255");
      } else if (range == SampleRange::Below) {
        range_errors.Add("Error-Negative Value");
      }
    }
  }
}

// A long clip's buffer is asked to be backed by huge pages: filling it then
// takes a handful of page faults instead of one per 4 KiB.
std::vector<std::uint8_t> MakeSampleBuffer(std::uint32_t count) {
  std::vector<std::uint8_t> samples;
  samples.reserve(count);
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<std::uintptr_t>(samples.data());
  const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t end = (begin + count) & ~(kHugePage - 1);
  if (end > first) {
    ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
  }
  samples.resize(count);
  return samples;
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

std::vector<std::uint8_t> ReadEightBitSamples(FileWindow& file, std::uint64_t offset,
                                              std::uint32_t frame_count,
                                              std::uint32_t frame_bytes) {
  std::vector<std::uint8_t> samples = MakeSampleBuffer(frame_count);
  ForEachBlock(file, offset, frame_count, frame_bytes, 1,
               [&](const std::uint8_t* values, std::uint32_t frames, std::uint32_t first) {
                 std::memcpy(samples.data() + first, values, frames);
               });
  return samples;
}

std::vector<std::uint8_t> ReadSixteenBitSamples(FileWindow& file, std::uint64_t offset,
                                                std::uint32_t frame_count,
                                                std::uint32_t frame_bytes) {
  std::vector<std::uint8_t> samples = MakeSampleBuffer(frame_count);
  // First pass: the largest value; negative values never raise it.
  std::int16_t largest = 0;
  std::vector<std::int16_t> values;
  ForEachBlock(file, offset, frame_count, frame_bytes, 2,
               [&](const std::uint8_t* bytes, std::uint32_t frames, std::uint32_t /*first*/) {
                 LoadValues(bytes, frames, values);
                 largest = LargestOf(values.data(), frames, largest);
               });
  const float scale = SixteenBitScale(largest);
  const auto table = MakeConversionTable(scale, frame_count);
  // A lopsided clip logs once per sample: one open for the whole pass.
  LogBatch range_errors(LogTarget::Critical);
  ForEachBlock(file, offset, frame_count, frame_bytes, 2,
               [&](const std::uint8_t* bytes, std::uint32_t frames, std::uint32_t first) {
                 LoadValues(bytes, frames, values);
                 ConvertValues(table.get(), scale, values.data(), frames, samples.data() + first,
                               range_errors);
               });
  return samples;
}
