#pragma once

#include <cstdint>
#include <filesystem>
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
  ScopedWorkDir();
  ~ScopedWorkDir();
  ScopedWorkDir(const ScopedWorkDir&) = delete;
  ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

// Whole file as bytes or text; empty when missing.
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
std::string ReadText(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Log entries of "TAMBRIX.log" / "TAMBRIX_crit.log" in the current directory,
// the "Data Time: " prefix removed. A multi-line entry shows as several lines.
std::vector<std::string> RoutineLogLines();
std::vector<std::string> CriticalLogLines();

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
std::vector<std::uint8_t> MakeShotTrain(std::uint32_t sample_count,
                                        const std::vector<std::uint32_t>& burst_starts,
                                        std::uint32_t burst_length = 60);

}  // namespace test
