#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace test {

// The test sound server of scripts/test-services.sh: PULSE_SERVER points at
// it, TAMBRIX_TEST_MIC_FIFO is its only microphone.
bool SoundServerConfigured();
std::string MicrophoneFifo();

// Writes `bytes` into a FIFO at 22050 bytes per second, 441 every 20 ms on a
// fixed schedule, from a thread of its own. Never blocks on a full pipe.
class PacedFifoWriter {
 public:
  PacedFifoWriter(const std::string& fifo, std::vector<std::uint8_t> bytes);
  ~PacedFifoWriter();
  PacedFifoWriter(const PacedFifoWriter&) = delete;
  PacedFifoWriter& operator=(const PacedFifoWriter&) = delete;

  void Join();
  bool Succeeded() const { return error_.empty(); }
  const std::string& Error() const { return error_; }

 private:
  void Run(const std::string& fifo);

  std::vector<std::uint8_t> bytes_;
  std::atomic<bool> stop_{false};
  std::string error_;
  std::thread thread_;
};

// Runs the DISABLED_ test `test_name` of this same program in a process of
// its own with `environment` ("NAME=value" entries) added; gives its exit
// code, its output in `output`.
int RunTestInChildProcess(const std::string& test_name, const std::vector<std::string>& environment,
                          std::string& output);

}  // namespace test
