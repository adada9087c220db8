#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace test {

// The test sound server of scripts/test-services.sh: PULSE_SERVER points at
// it, TAMBRIX_TEST_MIC_FIFO is its only microphone, TAMBRIX_TEST_MIC_MODULE_ARGS
// the microphone's module arguments.
bool SoundServerConfigured();
std::string MicrophoneFifo();

// Held while a test uses the shared FIFO microphone, since ctest runs test
// processes side by side. Waits for the holder before it.
class MicrophoneLock {
 public:
  MicrophoneLock();
  ~MicrophoneLock();
  MicrophoneLock(const MicrophoneLock&) = delete;
  MicrophoneLock& operator=(const MicrophoneLock&) = delete;

 private:
  int fd_ = -1;
};

// Unloads and loads the FIFO microphone again, so bytes an earlier test left
// in the FIFO can't leak into the next capture. False (with the reason on
// stderr) when pactl fails.
bool ReloadFifoMicrophone();

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

// A sound server of its own for one test, started by the same function of
// `services_script` (scripts/test-services.sh) as the shared one. Killed and
// removed with the object.
class PrivateSoundServer {
 public:
  explicit PrivateSoundServer(const std::string& services_script);
  ~PrivateSoundServer();
  PrivateSoundServer(const PrivateSoundServer&) = delete;
  PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;

  bool Started() const { return pid_ > 0; }
  const std::string& Server() const { return server_; }
  const std::string& Fifo() const { return fifo_; }
  int Pid() const { return pid_; }

 private:
  std::string server_;
  std::string fifo_;
  std::string dir_;
  int pid_ = 0;
};

// Runs the DISABLED_ test `test_name` of this same program in a process of
// its own with `environment` ("NAME=value" entries) added; gives its exit
// code, its output in `output`.
int RunTestInChildProcess(const std::string& test_name, const std::vector<std::string>& environment,
                          std::string& output);

}  // namespace test
