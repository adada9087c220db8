// Runs each input through tambrix-analyze --live as a WAVE stream, and feeds
// its sample data to a live clip in pieces whose length the first byte sets:
// every whole sample is taken, however the pieces split them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "cli/live_clip.h"
#include "cli/live_run.h"
#include "cli/wave_stream_header.h"
#include "engine/sound_engine.h"
#include "fuzz_input.h"

namespace {

constexpr const char* kInputName = "input.wav";

void FeedInPieces(std::span<const std::uint8_t> stream, std::size_t piece) {
  const StreamHeader header = ReadStreamHeader(stream);
  if (header.state != HeaderState::Ready) {
    return;
  }
  const StreamFormat& format = header.format;
  const std::span<const std::uint8_t> data = stream.subspan(format.data_offset);
  LiveClip clip(format.sample_rate, format.sample_bytes);
  for (std::size_t at = 0; at < data.size(); at += piece) {
    if (clip.Take(data.data() + at, std::min(piece, data.size() - at)) != TakeResult::Taken) {
      std::abort();
    }
  }
  if (clip.Engine().GetSampleCount() != data.size() / format.sample_bytes ||
      clip.HalfSampleHeld() != (data.size() % format.sample_bytes != 0)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The lines and figures are not looked at; stderr keeps the fuzzer's report.
  static const bool kQuietOutput = std::freopen("/dev/null", "w", stdout) != nullptr;
  if (size == 0 || !kQuietOutput) {
    return 0;
  }
  const std::span<const std::uint8_t> stream(data + 1, size - 1);
  FeedInPieces(stream, std::size_t{data[0]} + 1);
  if (!WriteFuzzInput(kInputName, stream.data(), stream.size())) {
    std::abort();
  }
  RunLive({kInputName, std::nullopt, data[0] % 2 == 0, false, RateUnit::Bps});
  KeepFuzzLogsSmall();
  return 0;
}
