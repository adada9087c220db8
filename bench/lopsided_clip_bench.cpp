// A whole load of a 10-minute 48 kHz 16-bit clip whose negative half is
// louder, so that its conversion logs one "Error-Negative Value" line per
// such sample: `tambrix-analyze` against the literal algorithm (every entry
// opened, written and closed on its own, the window scans of the analysis),
// each in a child process of its own, CPU time side by side in one run.
// Usage: lopsided_clip_bench [path/to/tambrix-analyze]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/audio_devices.h"
#include "engine/sound_engine.h"
#include "log/event_log.h"
#include "riff/wave_header.h"
#include "support/literal_analysis.h"

namespace {

constexpr std::uint32_t kSampleRate = 48000;
constexpr std::uint32_t kSampleCount = kSampleRate * 60 * 10;
constexpr std::uint32_t kShotSpacing = kSampleRate / 15;
constexpr std::uint32_t kRingSamples = 900;
constexpr double kRequiredSpeedup = 30.0;
constexpr const char* kClipName = "lopsided.wav";

// Quiet hiss and 15 shots a second, each a ring whose negative swings reach
// further down than its positive ones reach up: clipped at both ends, about
// a dozen samples of each shot lie below the largest value's negative.
std::vector<std::int16_t> MakeLopsidedClip() {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> hiss(-300, 300);
  std::vector<std::int16_t> clip(kSampleCount);
  for (std::uint32_t i = 0; i < kSampleCount; ++i) {
    const std::uint32_t k = i % kShotSpacing;
    double value = hiss(rng);
    if (k < kRingSamples) {
      const double t = k;
      const double swing = 40000.0 * std::exp(-t / 150.0) * std::sin(t * 0.6);
      value += swing < 0 ? swing : swing * 0.7;
    }
    clip[i] =
        static_cast<std::int16_t>(std::lround(std::fmax(-32768.0, std::fmin(32767.0, value))));
  }
  return clip;
}

void WriteClip(const std::vector<std::int16_t>& clip) {
  WaveFormat format;
  format.sample_rate = kSampleRate;
  format.block_align = 2;
  format.bits_per_sample = 16;
  const auto header = MakeWaveHeader(format, kSampleCount * 2);
  std::ofstream out(kClipName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(header.data()), header.size());
  for (const std::int16_t value : clip) {
    const auto bits = static_cast<std::uint16_t>(value);
    const char bytes[2] = {static_cast<char>(bits & 0xFFU), static_cast<char>(bits >> 8U)};
    out.write(bytes, 2);
  }
}

// The conversion word for word: the largest value, the scale, and one log
// entry of its own for every value out of range.
std::vector<std::uint8_t> LiteralConversion(const std::vector<std::int16_t>& clip) {
  WriteLogEntry(LogTarget::Critical, "16 bit wave file");
  std::int16_t largest = 0;
  for (const std::int16_t value : clip) {
    largest = value > largest ? value : largest;
  }
  const auto scale = static_cast<float>(32767.0 / largest);
  std::vector<std::uint8_t> samples(clip.size());
  for (std::size_t i = 0; i < clip.size(); ++i) {
    const auto v = static_cast<std::int32_t>(static_cast<double>(clip[i]) * scale);
    const std::int32_t u = v + 32767;
    if (u > 65535) {
      samples[i] = 255;
      WriteLogEntry(LogTarget::Critical, "Error-greater than 255");
    } else if (u < 0) {
      samples[i] = 0;
      WriteLogEntry(LogTarget::Critical, "Error-Negative Value");
    } else {
      samples[i] = static_cast<std::uint8_t>(u / 256);
    }
  }
  return samples;
}

// The literal load in the current directory: read, convert, analyse. Prints
// the figures the analyser's JSON carries.
int RunLiterally() {
  std::ifstream in(kClipName, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(kWaveHeaderBytes));
  std::vector<std::int16_t> clip(kSampleCount);
  in.read(reinterpret_cast<char*>(clip.data()), static_cast<std::streamsize>(clip.size() * 2));
  SilentAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  test::HoldClip(engine, LiteralConversion(clip), kSampleRate);
  const bool measured = test::LiteralMeasureClipQuality(engine);
  const bool detected = measured && test::LiteralDetectShots(engine);
  const test::AnalysisFigures f = test::TakeFigures(engine, measured, detected);
  std::printf(
      "\"clip_quality\":%d,\"peak_sample\":%d,\"number_of_shots\":%d,"
      "\"shot_list_count\":%u,\"highest_rof\":%.9g,\"lowest_rof\":%.9g,"
      "\"average_rof\":%.9g",
      f.clip_quality, f.peak_sample, f.number_of_shots, f.shot_list_count,
      static_cast<double>(f.highest_rof), static_cast<double>(f.lowest_rof),
      static_cast<double>(f.average_rof));
  return 0;
}

double ChildCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs `work` in a child in `folder` with its stdout in `folder`/out.txt;
// returns the child's CPU seconds.
double TimeChild(const std::filesystem::path& folder, const std::function<int()>& work) {
  const double before = ChildCpuSeconds();
  const pid_t child = fork();
  if (child == 0) {
    std::filesystem::current_path(folder);
    if (std::freopen("out.txt", "w", stdout) == nullptr) {
      _exit(2);
    }
    const int status = work();
    std::fflush(stdout);
    _exit(status);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return ChildCpuSeconds() - before;
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t CountLines(const std::filesystem::path& path) {
  const std::string text = ReadText(path);
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

int main(int argc, char** argv) {
  const std::string analyser = std::filesystem::absolute(argc > 1 ? argv[1] : "tambrix-analyze");
  const std::filesystem::path work =
      std::filesystem::temp_directory_path() / ("tambrix-lopsided-" + std::to_string(getpid()));
  const std::filesystem::path ours = work / "analyser";
  const std::filesystem::path literal = work / "literal";
  std::filesystem::create_directories(ours);
  std::filesystem::create_directories(literal);
  std::filesystem::current_path(work);
  WriteClip(MakeLopsidedClip());
  std::filesystem::create_hard_link(kClipName, ours / kClipName);
  std::filesystem::create_hard_link(kClipName, literal / kClipName);

  const double analyser_cpu = TimeChild(ours, [&] {
    execl(analyser.c_str(), analyser.c_str(), "--json", kClipName, nullptr);
    return 127;
  });
  const double literal_cpu = TimeChild(literal, RunLiterally);

  const std::string json = ReadText(ours / "out.txt");
  const std::string figures = ReadText(literal / "out.txt");
  const bool same_figures = !figures.empty() && json.find(figures) != std::string::npos;
  const std::size_t our_lines = CountLines(ours / kCriticalLogName);
  const std::size_t literal_lines = CountLines(literal / kCriticalLogName);
  const bool same_log = ReadText(ours / kCriticalLogName) == ReadText(literal / kCriticalLogName);
  std::filesystem::current_path("/");
  if (std::getenv("TAMBRIX_BENCH_KEEP") == nullptr) {
    std::filesystem::remove_all(work);
  }

  const double speedup = literal_cpu / analyser_cpu;
  std::printf("clip: 10 min, %u Hz, 16-bit mono, negative half louder\n", kSampleRate);
  std::printf("critical log lines: analyser %zu, literal %zu, identical: %s\n", our_lines,
              literal_lines, same_log ? "yes" : "NO");
  std::printf("figures identical: %s (%s)\n", same_figures ? "yes" : "NO", figures.c_str());
  std::printf(
      "CPU: tambrix-analyze %.3f s, literal algorithm %.3f s, speedup %.1f (at least %.0f)\n",
      analyser_cpu, literal_cpu, speedup, kRequiredSpeedup);
  return same_figures && same_log && speedup >= kRequiredSpeedup ? 0 : 1;
}
