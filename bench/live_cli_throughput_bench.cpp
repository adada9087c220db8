// Throughput of tambrix-analyze --live: an hour of 48 kHz 8-bit sound (12
// shots a second) is piped into its standard input as fast as it takes it.
// Prints the time per second of input over the first and the last minute
// (flat, and below 10 ms for 100x real time), the whole run, and the
// analyser's peak memory against its one byte per sample.
// Usage: live_cli_throughput_bench [path/to/tambrix-analyze [seconds]]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kSampleRate = 48000;
constexpr std::uint32_t kShotSpacing = kSampleRate / 12;
constexpr std::uint32_t kBurstLength = 60;
constexpr std::uint32_t kWindowSeconds = 60;
constexpr double kTargetMsPerSecond = 1000.0 / 100.0;

std::uint8_t ShotTrainSample(std::uint64_t i) {
  if (i % kShotSpacing < kBurstLength) {
    return i % 2 == 0 ? 255 : 0;
  }
  return static_cast<std::uint8_t>(126U + (i * 7U) % 5U);
}

double Milliseconds(Clock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

}  // namespace

int main(int argc, char** argv) {
  const char* analyser = argc > 1 ? argv[1] : "build/tambrix-analyze";
  const std::uint32_t seconds = argc > 2 ? static_cast<std::uint32_t>(std::atoi(argv[2])) : 3600;
  int to_child[2];
  if (::pipe(to_child) != 0) {
    std::perror("pipe");
    return 1;
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(to_child[0], STDIN_FILENO);
    ::close(to_child[1]);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
      ::_exit(127);
    }
    const std::string rate = std::to_string(kSampleRate);
    ::execl(analyser, analyser, "--live", "--json", "--raw-rate", rate.c_str(), "-", nullptr);
    std::perror(analyser);
    ::_exit(127);
  }
  ::close(to_child[0]);

  // Every second of sound is the same: it is made once.
  std::vector<std::uint8_t> second(kSampleRate);
  for (std::uint32_t i = 0; i < kSampleRate; ++i) {
    second[i] = ShotTrainSample(i);
  }
  // When each second had been taken by the pipe.
  std::vector<Clock::time_point> taken;
  taken.push_back(Clock::now());
  for (std::uint32_t s = 0; s < seconds; ++s) {
    for (std::size_t at = 0; at < second.size();) {
      const ssize_t wrote = ::write(to_child[1], second.data() + at, second.size() - at);
      if (wrote <= 0) {
        std::perror("write");
        return 1;
      }
      at += static_cast<std::size_t>(wrote);
    }
    taken.push_back(Clock::now());
  }
  ::close(to_child[1]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  const Clock::time_point done = Clock::now();
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);

  const std::uint32_t window = std::min(kWindowSeconds, seconds / 2);
  const double first = Milliseconds(taken[window] - taken[0]) / window;
  const double last = Milliseconds(taken[seconds] - taken[seconds - window]) / window;
  const double whole = Milliseconds(done - taken[0]) / seconds;
  std::printf("%u s of %u Hz 8-bit sound through a pipe, exit status %d\n", seconds, kSampleRate,
              WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  std::printf(
      "time per second of input: first %u s %.3f ms, last %u s %.3f ms, whole run "
      "%.3f ms (%.0fx real time; target %.0f ms, 100x)\n",
      window, first, window, last, whole, 1000.0 / whole, kTargetMsPerSecond);
  std::printf("peak memory %.1f MiB for %.1f MiB of samples\n",
              static_cast<double>(usage.ru_maxrss) / 1024.0,
              static_cast<double>(seconds) * kSampleRate / (1024.0 * 1024.0));
  return 0;
}
