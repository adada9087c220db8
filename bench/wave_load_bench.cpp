// Loading a 10-minute 48 kHz 16-bit mono clip: wall time, and peak memory
// against the 8-bit samples plus 64 MiB.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "engine/clip_files.h"
#include "engine/sound_engine.h"
#include "riff/wave_header.h"

namespace {

constexpr std::uint32_t kSampleRate = 48000;
constexpr std::uint32_t kSampleCount = kSampleRate * 60 * 10;
constexpr std::uint32_t kShotSpacing = kSampleRate / 12;  // 12 balls per second
constexpr std::uint32_t kBurstLength = 60;
constexpr std::int16_t kBurstLevel = 30000;
constexpr long kMemoryAllowanceKib = 64 * 1024;
constexpr const char* kClipName = "long.wav";

std::int16_t ShotTrainValue(std::uint32_t i) {
  if (i % kShotSpacing < kBurstLength) {
    return i % 2 == 0 ? kBurstLevel : static_cast<std::int16_t>(-kBurstLevel);
  }
  return static_cast<std::int16_t>(static_cast<int>(i * 7 % 5) * 128 - 256);
}

// Written block by block so the file never sits in memory whole.
bool WriteShotTrain(const char* path) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    return false;
  }
  WaveFormat format;
  format.sample_rate = kSampleRate;
  format.block_align = 2;
  format.bits_per_sample = 16;
  const auto header = MakeWaveHeader(format, kSampleCount * 2);
  bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size();
  std::vector<std::uint8_t> block;
  constexpr std::uint32_t kBlockSamples = 1 << 16;
  for (std::uint32_t start = 0; ok && start < kSampleCount; start += kBlockSamples) {
    block.clear();
    for (std::uint32_t i = start; i < start + kBlockSamples && i < kSampleCount; ++i) {
      const auto value = static_cast<std::uint16_t>(ShotTrainValue(i));
      block.push_back(static_cast<std::uint8_t>(value & 0xFFU));
      block.push_back(static_cast<std::uint8_t>(value >> 8U));
    }
    ok = std::fwrite(block.data(), 1, block.size(), file) == block.size();
  }
  return std::fclose(file) == 0 && ok;
}

long PeakRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void BM_LoadTenMinutesSixteenBit(benchmark::State& state) {
  SilentAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  for (auto _ : state) {
    LoadClip(engine, kClipName);
    benchmark::DoNotOptimize(engine.sample_count);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSampleCount * 2);
}
BENCHMARK(BM_LoadTenMinutesSixteenBit)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("tambrix-wave-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  if (!WriteShotTrain(kClipName)) {
    std::fprintf(stderr, "cannot write %s\n", (dir / kClipName).c_str());
    return 1;
  }

  // The first load, alone, decides the peak memory figure.
  const long before_kib = PeakRssKib();
  {
    SilentAudioSystem audio;
    SoundEngine engine(&audio, nullptr);
    const auto start = std::chrono::steady_clock::now();
    LoadClip(engine, kClipName);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    const long peak_kib = PeakRssKib();
    const long samples_kib = static_cast<long>(engine.samples ? engine.samples->size() : 0) / 1024;
    std::printf("load of %u 16-bit samples: %.3f s wall, %d shots\n", kSampleCount, wall.count(),
                engine.GetNumberOfShots());
    std::printf("peak RSS %ld KiB (%ld KiB before the load); 8-bit samples %ld KiB\n", peak_kib,
                before_kib, samples_kib);
    std::printf("peak <= samples + 64 MiB: %s\n",
                peak_kib <= samples_kib + kMemoryAllowanceKib ? "yes" : "NO");
  }

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(dir);
  return 0;
}
