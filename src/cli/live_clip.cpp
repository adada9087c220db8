#include "cli/live_clip.h"

#include <algorithm>
#include <array>
#include <new>

#include "engine/wave_samples.h"
#include "riff/little_endian.h"

namespace {

// 16-bit values are converted and fed in blocks of this many.
constexpr std::size_t kConvertBlock = std::size_t{64} * 1024;

std::size_t SampleRoom(const SoundEngine& engine) {
  return kLiveSampleLimit - engine.GetSampleCount();
}

}  // namespace

LiveClip::LiveClip(std::uint32_t sample_rate, std::uint32_t sample_bytes)
    : sample_rate_(sample_rate),
      sample_bytes_(sample_bytes),
      live_(std::make_unique<LiveAnalysis>(sample_rate, Detector::Classic)) {}

TakeResult LiveClip::Take(const std::uint8_t* bytes, std::size_t count) {
  if (sample_bytes_ == 2) {
    return TakeSixteenBit(bytes, count);
  }
  const std::size_t taken = std::min(count, SampleRoom(Engine()));
  if (!FeedLiveAnalysis(*live_, bytes, taken)) {
    return TakeResult::OutOfMemory;
  }
  return taken == count ? TakeResult::Taken : TakeResult::LimitReached;
}

TakeResult LiveClip::TakeSixteenBit(const std::uint8_t* bytes, std::size_t count) {
  const std::size_t first_new = values_.size();
  bool limited = false;
  try {
    for (std::size_t i = 0; i < count && !limited; ++i) {
      if (!half_sample_) {
        half_sample_ = bytes[i];
      } else if (values_.size() == kLiveSampleLimit) {
        half_sample_.reset();
        limited = true;
      } else {
        const std::array<std::uint8_t, 2> pair = {*half_sample_, bytes[i]};
        half_sample_.reset();
        values_.push_back(static_cast<std::int16_t>(LoadU16Le(pair.data())));
      }
    }
    if (values_.size() == first_new) {
      return limited ? TakeResult::LimitReached : TakeResult::Taken;
    }
    // The load's scale comes from the largest value; negative ones never
    // raise it.
    const auto new_values = values_.begin() + static_cast<std::ptrdiff_t>(first_new);
    const std::int16_t largest = std::max(largest_, *std::max_element(new_values, values_.end()));
    std::size_t first_to_analyse = first_new;
    if (largest > largest_) {
      largest_ = largest;
      live_ = std::make_unique<LiveAnalysis>(sample_rate_, Detector::Classic);
      first_to_analyse = 0;
    }
    if (!AnalyseValuesFrom(first_to_analyse)) {
      return TakeResult::OutOfMemory;
    }
  } catch (const std::bad_alloc&) {
    return TakeResult::OutOfMemory;
  }
  return limited ? TakeResult::LimitReached : TakeResult::Taken;
}

bool LiveClip::AnalyseValuesFrom(std::size_t first) {
  const float scale = SixteenBitScale(largest_);
  std::vector<std::uint8_t> block;
  for (std::size_t at = first; at < values_.size(); at += block.size()) {
    block.resize(std::min(kConvertBlock, values_.size() - at));
    for (std::size_t k = 0; k < block.size(); ++k) {
      block[k] = ConvertSixteenBitValue(values_[at + k], scale).value;
    }
    if (!FeedLiveAnalysis(*live_, block.data(), block.size())) {
      return false;
    }
  }
  return true;
}
