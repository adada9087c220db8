// Latency of tambrix-analyze --live: a shot train is written into its
// standard input in real time, 20 ms at a time, and each shot's line is timed
// from the write of the last sample that decides it (found beforehand with
// the engine's live analysis) to the line's arrival. Prints the median and
// the largest over all shots, against the 150 ms target.
// Usage: live_cli_latency_bench [path/to/tambrix-analyze [seconds]]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/live_analysis.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kSampleRate = 22050;
constexpr std::uint32_t kPieceSamples = kSampleRate / 50;  // 20 ms
constexpr std::uint32_t kBurstLength = 60;
constexpr double kTargetMs = 150.0;

// Full-scale shots from the first one on, so no shot is ever corrected, at
// 8 to 20 balls per second.
std::vector<std::uint8_t> ShotTrain(std::uint32_t count) {
  std::vector<std::uint8_t> samples(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    samples[i] = static_cast<std::uint8_t>(126U + (i * 7U) % 5U);
  }
  std::mt19937 random(11);
  std::uniform_int_distribution<std::uint32_t> spacing(kSampleRate / 20, kSampleRate / 8);
  for (std::uint32_t start = kSampleRate / 2; start + kBurstLength < count;
       start += spacing(random)) {
    for (std::uint32_t k = 0; k < kBurstLength; ++k) {
      samples[start + k] = k % 2 == 0 ? 255 : 0;
    }
  }
  return samples;
}

std::uint32_t ShotsIn(const std::vector<std::uint8_t>& samples, std::uint32_t count) {
  LiveAnalysis live(kSampleRate, Detector::Classic);
  FeedLiveAnalysis(live, samples.data(), count);
  return live.engine.GetShotCount();
}

// For each shot, the fewest samples whose analysis holds it.
std::vector<std::uint32_t> DecidingCounts(const std::vector<std::uint8_t>& samples) {
  const auto total = static_cast<std::uint32_t>(samples.size());
  const std::uint32_t shots = ShotsIn(samples, total);
  std::vector<std::uint32_t> counts;
  for (std::uint32_t shot = 0, low = 0; shot < shots; ++shot) {
    std::uint32_t high = total;
    while (low < high) {
      const std::uint32_t middle = low + (high - low) / 2;
      if (ShotsIn(samples, middle) > shot) {
        high = middle;
      } else {
        low = middle + 1;
      }
    }
    counts.push_back(low);
  }
  return counts;
}

struct Child {
  pid_t pid;
  int input;
  int output;
};

Child StartAnalyser(const char* analyser) {
  int to_child[2];
  int from_child[2];
  if (::pipe(to_child) != 0 || ::pipe(from_child) != 0) {
    std::perror("pipe");
    std::exit(1);
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(to_child[0], STDIN_FILENO);
    ::dup2(from_child[1], STDOUT_FILENO);
    ::close(to_child[1]);
    ::close(from_child[0]);
    const std::string rate = std::to_string(kSampleRate);
    ::execl(analyser, analyser, "--live", "--json", "--raw-rate", rate.c_str(), "-", nullptr);
    std::perror(analyser);
    ::_exit(127);
  }
  ::close(to_child[0]);
  ::close(from_child[1]);
  return {pid, to_child[1], from_child[0]};
}

// When each shot's first line arrived.
std::vector<Clock::time_point> ReadShotLines(int output, std::size_t shots) {
  std::vector<Clock::time_point> arrived(shots);
  std::vector<bool> seen(shots, false);
  std::string pending;
  char buffer[4096];
  for (ssize_t got; (got = ::read(output, buffer, sizeof buffer)) > 0;) {
    const Clock::time_point now = Clock::now();
    pending.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (line.rfind("{\"shot\":", 0) == 0) {
        const std::size_t shot = std::stoul(line.substr(8)) - 1;
        if (shot < shots && !seen[shot]) {
          seen[shot] = true;
          arrived[shot] = now;
        }
      }
    }
  }
  return arrived;
}

}  // namespace

int main(int argc, char** argv) {
  const char* analyser = argc > 1 ? argv[1] : "build/tambrix-analyze";
  const std::uint32_t seconds = argc > 2 ? static_cast<std::uint32_t>(std::atoi(argv[2])) : 20;
  const std::vector<std::uint8_t> samples = ShotTrain(kSampleRate * seconds);
  const std::vector<std::uint32_t> deciding = DecidingCounts(samples);
  std::printf("%u s of sound at %u Hz, %zu shots, written %u samples every 20 ms\n", seconds,
              kSampleRate, deciding.size(), kPieceSamples);

  const Child child = StartAnalyser(analyser);
  std::vector<Clock::time_point> arrived;
  std::thread reader([&] { arrived = ReadShotLines(child.output, deciding.size()); });
  std::vector<Clock::time_point> written(deciding.size());
  const Clock::time_point start = Clock::now();
  std::size_t next_shot = 0;
  for (std::uint32_t at = 0; at < samples.size();) {
    // Pieces end at each shot's deciding sample, so its write can be timed.
    std::uint32_t end =
        std::min<std::uint32_t>(at + kPieceSamples, static_cast<std::uint32_t>(samples.size()));
    if (next_shot < deciding.size() && deciding[next_shot] > at) {
      end = std::min(end, deciding[next_shot]);
    }
    std::this_thread::sleep_until(
        start + std::chrono::microseconds(std::uint64_t{at} * 1000000 / kSampleRate));
    if (::write(child.input, samples.data() + at, end - at) != static_cast<ssize_t>(end - at)) {
      std::perror("write");
      return 1;
    }
    for (; next_shot < deciding.size() && deciding[next_shot] <= end; ++next_shot) {
      written[next_shot] = Clock::now();
    }
    at = end;
  }
  ::close(child.input);
  reader.join();
  int status = 0;
  ::waitpid(child.pid, &status, 0);

  std::vector<double> latencies;
  for (std::size_t shot = 0; shot < deciding.size(); ++shot) {
    latencies.push_back(
        std::chrono::duration<double, std::milli>(arrived[shot] - written[shot]).count());
  }
  std::sort(latencies.begin(), latencies.end());
  if (latencies.empty()) {
    std::printf("no shots\n");
    return 1;
  }
  const double median = latencies[latencies.size() / 2];
  const double largest = latencies.back();
  std::printf(
      "latency from the deciding sample's write to the shot's line: median %.2f ms, "
      "max %.2f ms (target %.0f ms): %s\n",
      median, largest, kTargetMs, largest <= kTargetMs ? "met" : "NOT met");
  return 0;
}
