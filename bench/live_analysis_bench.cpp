// The live analysis fed an hour of 48 kHz input at full speed, in chunks as
// a capture or a pipe delivers them: the realistic 10-minute clip six times
// over. Prints the time per second of input over each 10 minutes, the
// speed against real time, and the peak memory.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/live_analysis.h"
#include "realistic_clip.h"

namespace {

constexpr int kRepeats = 6;
constexpr std::size_t kChunk = 4096;
constexpr double kRequiredSpeed = 100.0;

// The process's peak resident memory in MB, from when it was last reset.
double PeakMegabytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::stod(line.substr(6)) / 1024.0;
    }
  }
  return 0.0;
}

}  // namespace

int main() {
  const std::vector<std::uint8_t> clip = bench::MakeRealisticClip();
  // The peak from here on: the clip's generation took far more.
  std::ofstream("/proc/self/clear_refs") << "5";
  const double before = PeakMegabytes();
  LiveAnalysis live(bench::kSampleRate, Detector::Classic);
  const double seconds_per_repeat = static_cast<double>(clip.size()) / bench::kSampleRate;
  double slowest = 0.0;
  for (int repeat = 0; repeat < kRepeats; ++repeat) {
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t fed = 0; fed < clip.size(); fed += kChunk) {
      if (!FeedLiveAnalysis(live, clip.data() + fed, std::min(kChunk, clip.size() - fed))) {
        std::fprintf(stderr, "the live analysis refused a chunk\n");
        return 1;
      }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double per_second = took.count() / seconds_per_repeat;
    slowest = std::max(slowest, per_second);
    std::printf("minutes %2d-%2d: %.3f ms per second of input (%.0fx real time)\n", repeat * 10,
                repeat * 10 + 10, per_second * 1000.0, 1.0 / per_second);
  }
  std::printf(
      "%u shots, %u reruns of the detector; %.0f MB of samples, %.0f MB resident at the peak\n",
      live.engine.GetShotCount(), live.reruns,
      static_cast<double>(live.engine.GetSampleCount()) / (1 << 20), PeakMegabytes() - before);
  const bool fast_enough = 1.0 / slowest >= kRequiredSpeed;
  std::printf("slowest stretch %.0fx real time (at least %.0fx): %s\n", 1.0 / slowest,
              kRequiredSpeed, fast_enough ? "ok" : "TOO SLOW");
  return fast_enough ? 0 : 1;
}
