#include "support/test_support.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace test {

namespace {

std::vector<std::string> LogLines(const char* name) {
  std::vector<std::string> lines;
  std::istringstream stream(ReadText(name));
  std::string line;
  constexpr std::string_view prefix = "Data Time: ";
  while (std::getline(stream, line)) {
    if (line.compare(0, prefix.size(), prefix) == 0) {
      line.erase(0, prefix.size());
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

ScopedWorkDir::ScopedWorkDir() : previous_(std::filesystem::current_path()) {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("tambrix-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
  std::filesystem::current_path(path_);
}

ScopedWorkDir::~ScopedWorkDir() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

std::vector<std::string> RoutineLogLines() { return LogLines("TAMBRIX.log"); }
std::vector<std::string> CriticalLogLines() { return LogLines("TAMBRIX_crit.log"); }

void AppendTag(std::vector<std::uint8_t>& out, std::string_view tag) {
  for (std::size_t i = 0; i < 4; ++i) {
    out.push_back(i < tag.size() ? static_cast<std::uint8_t>(tag[i]) : std::uint8_t{' '});
  }
}

void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFFU));
  out.push_back(static_cast<std::uint8_t>(value >> 8U));
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (unsigned i = 0; i < 4; ++i) {
    out.push_back(static_cast<std::uint8_t>((value >> (8U * i)) & 0xFFU));
  }
}

std::vector<std::uint8_t> MakeWave(const WaveFileOptions& options,
                                   const std::vector<std::uint8_t>& data,
                                   const std::vector<std::uint8_t>& chunks_before_data) {
  std::vector<std::uint8_t> body;
  AppendTag(body, "WAVE");
  AppendTag(body, "fmt ");
  AppendU32(body, options.format_len);
  const std::size_t format_start = body.size();
  const auto block_align =
      static_cast<std::uint16_t>(options.channels * ((options.bits_per_sample + 7U) / 8U));
  AppendU16(body, options.format_tag);
  AppendU16(body, options.channels);
  AppendU32(body, options.sample_rate);
  AppendU32(body, options.sample_rate * block_align);
  AppendU16(body, block_align);
  AppendU16(body, options.bits_per_sample);
  body.resize(format_start + options.format_len, 0);
  if (options.format_len % 2 != 0) {
    body.push_back(0);
  }
  body.insert(body.end(), chunks_before_data.begin(), chunks_before_data.end());
  AppendTag(body, "data");
  AppendU32(body, options.data_size_override >= 0
                      ? static_cast<std::uint32_t>(options.data_size_override)
                      : static_cast<std::uint32_t>(data.size()));
  body.insert(body.end(), data.begin(), data.end());

  std::vector<std::uint8_t> file;
  AppendTag(file, "RIFF");
  AppendU32(file, static_cast<std::uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

std::vector<std::uint8_t> MakeWave8(std::uint32_t sample_rate,
                                    const std::vector<std::uint8_t>& samples) {
  WaveFileOptions options;
  options.sample_rate = sample_rate;
  return MakeWave(options, samples);
}

std::vector<std::uint8_t> MakeWave16(std::uint32_t sample_rate,
                                     const std::vector<std::int16_t>& samples,
                                     std::uint16_t channels) {
  WaveFileOptions options;
  options.sample_rate = sample_rate;
  options.bits_per_sample = 16;
  options.channels = channels;
  std::vector<std::uint8_t> data;
  data.reserve(samples.size() * 2);
  for (const std::int16_t s : samples) {
    AppendU16(data, static_cast<std::uint16_t>(s));
  }
  return MakeWave(options, data);
}

std::vector<std::uint8_t> MakeShotTrain(std::uint32_t sample_count,
                                        const std::vector<std::uint32_t>& burst_starts,
                                        std::uint32_t burst_length) {
  std::vector<std::uint8_t> samples(sample_count);
  for (std::uint32_t i = 0; i < sample_count; ++i) {
    samples[i] = static_cast<std::uint8_t>(126U + (i * 7U) % 5U);
  }
  for (const std::uint32_t start : burst_starts) {
    for (std::uint32_t k = 0; k < burst_length && start + k < sample_count; ++k) {
      samples[start + k] = (k % 2 == 0) ? 255 : 0;
    }
  }
  return samples;
}

}  // namespace test
