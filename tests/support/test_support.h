#pragma once

// Small helpers every test program shares.

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/notifier.h"
#include "support/riff_bytes.h"

namespace test {

// Makes a fresh directory and makes it current for the lifetime of the
// object, so that logs and "tmp" of one test never meet another's.
class ScopedWorkDir {
 public:
  ScopedWorkDir() : previous_(std::filesystem::current_path()) {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("tambrix-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
  }
  ~ScopedWorkDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScopedWorkDir(const ScopedWorkDir&) = delete;
  ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

// Whole file as text or bytes; empty when missing.
inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  const std::string text = ReadText(path);
  return {text.begin(), text.end()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

// Log entries of a log in the current directory, the "Data Time: " prefix
// removed. A multi-line entry shows as several lines.
inline std::vector<std::string> LogLines(const char* name) {
  std::vector<std::string> lines;
  std::istringstream stream(ReadText(name));
  for (std::string line; std::getline(stream, line);) {
    lines.push_back(line.starts_with("Data Time: ") ? line.substr(11) : line);
  }
  return lines;
}
inline std::vector<std::string> RoutineLogLines() { return LogLines("TAMBRIX.log"); }
inline std::vector<std::string> CriticalLogLines() { return LogLines("TAMBRIX_crit.log"); }

// Remembers every message shown.
class RecordingNotifier final : public Notifier {
 public:
  struct Shown {
    std::string text;
    std::string caption;
  };
  void ShowMessage(std::string_view text, std::string_view caption) override {
    shown.push_back({std::string(text), std::string(caption)});
  }
  std::vector<Shown> shown;
};

// A synthetic shot train: quiet samples between 126 and 130 and bursts of
// `burst_length` samples alternating 255 and 0 starting at `burst_starts`.
inline std::vector<std::uint8_t> MakeShotTrain(std::uint32_t sample_count,
                                               const std::vector<std::uint32_t>& burst_starts,
                                               std::uint32_t burst_length = 60) {
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
