#include "support/sound_server.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace test {

namespace {

constexpr std::uint32_t kFifoBytesPerSecond = 22050;
constexpr auto kWriterTick = std::chrono::milliseconds(20);
constexpr std::size_t kBytesPerTick = kFifoBytesPerSecond / 50;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

// Runs a shell command; its exit code, its stdout in `output`.
int RunShell(const std::string& command, std::string& output) {
  output.clear();
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return -1;
  }
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    output.append(buffer, got);
  }
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool SoundServerConfigured() { return !Env("PULSE_SERVER").empty(); }

std::string MicrophoneFifo() { return Env("TAMBRIX_TEST_MIC_FIFO"); }

PacedFifoWriter::PacedFifoWriter(const std::string& fifo, std::vector<std::uint8_t> bytes)
    : bytes_(std::move(bytes)), thread_([this, fifo] { Run(fifo); }) {}

PacedFifoWriter::~PacedFifoWriter() {
  stop_ = true;
  Join();
}

void PacedFifoWriter::Join() {
  if (thread_.joinable()) {
    thread_.join();
  }
}

void PacedFifoWriter::Run(const std::string& fifo) {
  // A reader that goes away must show as EPIPE here, not end the process.
  sigset_t pipe_signal;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);

  const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error_ = "cannot open " + fifo + ": " + std::strerror(errno);
    return;
  }
  const auto start = std::chrono::steady_clock::now();
  std::size_t written = 0;
  for (std::size_t tick = 1; written < bytes_.size() && !stop_; ++tick) {
    std::this_thread::sleep_until(start + tick * kWriterTick);
    const std::size_t due = std::min(bytes_.size(), tick * kBytesPerTick);
    while (written < due) {
      const ssize_t put = ::write(fd, bytes_.data() + written, due - written);
      if (put < 0) {
        if (errno != EAGAIN && errno != EINTR) {
          error_ = std::string("write to the FIFO failed: ") + std::strerror(errno);
          stop_ = true;
        }
        break;  // a full pipe: the rest goes with the next tick
      }
      written += static_cast<std::size_t>(put);
    }
  }
  ::close(fd);
  if (error_.empty() && written < bytes_.size() && !stop_) {
    error_ = "the FIFO took only " + std::to_string(written) + " bytes";
  }
}

int RunTestInChildProcess(const std::string& test_name, const std::vector<std::string>& environment,
                          std::string& output) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  std::string command = "env";
  for (const std::string& entry : environment) {
    command += " " + Quoted(entry);
  }
  command += " " + Quoted(self) + " --gtest_also_run_disabled_tests " +
             Quoted("--gtest_filter=" + test_name) + " 2>&1";
  return RunShell(command, output);
}

}  // namespace test
