#include "support/sound_server.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "support/test_support.h"

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

MicrophoneLock::MicrophoneLock() {
  const std::string path = MicrophoneFifo() + ".lock";
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ >= 0) {
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
}

MicrophoneLock::~MicrophoneLock() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

bool ReloadFifoMicrophone() {
  const std::string args = Env("TAMBRIX_TEST_MIC_MODULE_ARGS");
  if (args.empty()) {
    std::cerr << "TAMBRIX_TEST_MIC_MODULE_ARGS is not set\n";
    return false;
  }
  std::string output;
  RunShell("pactl unload-module module-pipe-source 2>&1", output);
  if (RunShell("pactl load-module module-pipe-source " + args + " 2>&1", output) != 0) {
    std::cerr << "pactl load-module module-pipe-source failed: " << output << "\n";
    return false;
  }
  return true;
}

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

PrivateSoundServer::PrivateSoundServer(const std::string& services_script) {
  const std::string command =
      "bash -c " + Quoted("source " + Quoted(services_script) +
                          " >&2 && StartTestPulseAudio >&2 && echo \"$PULSE_SERVER\" && "
                          "echo \"$TAMBRIX_TEST_MIC_FIFO\" && echo \"$TAMBRIX_PULSE_DIR\" && "
                          "echo \"$TAMBRIX_PULSE_PID\"");
  std::string output;
  if (RunShell(command, output) != 0) {
    std::cerr << "the private sound server did not start\n";
    return;
  }
  std::istringstream lines(output);
  std::string pid;
  std::getline(lines, server_);
  std::getline(lines, fifo_);
  std::getline(lines, dir_);
  std::getline(lines, pid);
  pid_ = std::atoi(pid.c_str());
}

PrivateSoundServer::~PrivateSoundServer() {
  // A test may have killed it already; never signal a process that has taken
  // its number since.
  if (pid_ > 0 &&
      ReadText("/proc/" + std::to_string(pid_) + "/cmdline").find(dir_) != std::string::npos) {
    ::kill(pid_, SIGKILL);
  }
  if (!dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
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
