#include "cli/live_run.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "cli/clip_report.h"
#include "cli/live_clip.h"
#include "cli/live_shot_lines.h"
#include "cli/wave_stream_header.h"
#include "engine/sound_engine.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFault = 1;
// Reads take what has arrived, up to this much.
constexpr std::size_t kReadBytes = std::size_t{1} << 20;

volatile std::sig_atomic_t interrupted = 0;

void NoteInterrupt(int /*signal*/) { interrupted = 1; }

// Ctrl+C ends the stream instead of the program, so the figures still come.
// Without SA_RESTART, a read waiting for data returns.
void EndStreamOnInterrupt() {
  struct sigaction action {};
  action.sa_handler = NoteInterrupt;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
}

class LiveRun {
 public:
  explicit LiveRun(const LiveSettings& settings)
      : settings_(settings), lines_(settings.json, settings.unit) {}
  ~LiveRun() {
    if (input_ > STDIN_FILENO) {
      ::close(input_);
    }
  }
  LiveRun(const LiveRun&) = delete;
  LiveRun& operator=(const LiveRun&) = delete;

  int Run();

 private:
  bool OpenInput();
  // What the next read gave; 0 at the end of the stream.
  std::size_t ReadSome();
  bool ReadHeader();
  void ReadData();
  void Take(const std::uint8_t* bytes, std::size_t count);
  void Fault(const std::string& what);
  void PrintFinalFigures();

  const LiveSettings& settings_;
  LiveShotLines lines_;
  int input_ = -1;
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(kReadBytes);
  StreamFormat format_;
  std::unique_ptr<LiveClip> clip_;
  std::uint64_t data_read_ = 0;
  bool stopped_ = false;  // at the data chunk's end, or the clip takes no more
  int status_ = kExitDone;
};

void LiveRun::Fault(const std::string& what) {
  std::fprintf(stderr, "tambrix-analyze: %s: %s\n", settings_.file.c_str(), what.c_str());
  status_ = kExitFault;
}

bool LiveRun::OpenInput() {
  if (settings_.file == "-") {
    input_ = STDIN_FILENO;
    return true;
  }
  input_ = ::open(settings_.file.c_str(), O_RDONLY | O_CLOEXEC);
  if (input_ < 0) {
    Fault(std::string("can't be opened: ") + std::strerror(errno));
    return false;
  }
  return true;
}

std::size_t LiveRun::ReadSome() {
  while (interrupted == 0) {
    const ssize_t got = ::read(input_, buffer_.data(), buffer_.size());
    if (got >= 0) {
      return static_cast<std::size_t>(got);
    }
    if (errno != EINTR) {
      Fault(std::string("reading stopped: ") + std::strerror(errno));
      return 0;
    }
  }
  return 0;
}

// Bytes are collected until the data chunk's header is in; those after it
// are the first samples.
bool LiveRun::ReadHeader() {
  std::vector<std::uint8_t> header;
  for (;;) {
    const std::size_t got = ReadSome();
    if (got == 0) {
      if (status_ == kExitDone) {
        Fault("the stream ended inside its WAVE header (" + std::to_string(header.size()) +
              " bytes)");
      }
      return false;
    }
    header.insert(header.end(), buffer_.begin(),
                  buffer_.begin() + static_cast<std::ptrdiff_t>(got));
    const StreamHeader read = ReadStreamHeader(header);
    if (read.state == HeaderState::Bad) {
      Fault(read.error);
      return false;
    }
    if (read.state == HeaderState::Ready) {
      format_ = read.format;
      clip_ = std::make_unique<LiveClip>(format_.sample_rate, format_.sample_bytes);
      const auto offset = static_cast<std::size_t>(format_.data_offset);
      Take(header.data() + offset, header.size() - offset);
      return true;
    }
  }
}

// Data past the size the header gives is not sound; the rest of the stream
// is left unread.
void LiveRun::Take(const std::uint8_t* bytes, std::size_t count) {
  if (format_.data_bytes) {
    count =
        static_cast<std::size_t>(std::min<std::uint64_t>(count, *format_.data_bytes - data_read_));
  }
  data_read_ += count;
  const TakeResult taken = clip_->Take(bytes, count);
  if (taken == TakeResult::LimitReached) {
    Fault("the stream passed " + std::to_string(kLiveSampleLimit) +
          " samples: the rest is left unread");
  } else if (taken == TakeResult::OutOfMemory) {
    Fault("memory ran out: the rest of the stream is left unread");
  }
  stopped_ =
      taken != TakeResult::Taken || (format_.data_bytes && data_read_ == *format_.data_bytes);
  lines_.PrintChanges(clip_->Engine(), stdout);
}

void LiveRun::ReadData() {
  while (!stopped_) {
    const std::size_t got = ReadSome();
    if (got == 0) {
      break;
    }
    Take(buffer_.data(), got);
  }
  const bool ended = !stopped_ && status_ == kExitDone;
  if (ended && format_.data_bytes && data_read_ < *format_.data_bytes) {
    Fault("the stream ended after " + std::to_string(data_read_) + " of the " +
          std::to_string(*format_.data_bytes) + " data bytes its header gives");
  }
  if (clip_->HalfSampleHeld()) {
    Fault("the stream ended inside a 16-bit sample: its first byte was dropped");
  }
}

void LiveRun::PrintFinalFigures() {
  const SoundEngine& engine = clip_->Engine();
  if (!engine.HasData()) {
    Fault("no samples");
  }
  if (settings_.json) {
    std::printf("%s\n", JsonReport(engine, settings_.file, settings_.unit).c_str());
  } else {
    std::fputs(TextReport(engine, settings_.file, settings_.unit, settings_.with_shots).c_str(),
               stdout);
  }
  std::fflush(stdout);
}

int LiveRun::Run() {
  if (!OpenInput()) {
    return status_;
  }
  if (settings_.raw_rate) {
    format_.sample_rate = *settings_.raw_rate;
    clip_ = std::make_unique<LiveClip>(format_.sample_rate, 1);
  } else if (!ReadHeader()) {
    return status_;
  }
  ReadData();
  PrintFinalFigures();
  return status_;
}

}  // namespace

int RunLive(const LiveSettings& settings) {
  EndStreamOnInterrupt();
  LiveRun run(settings);
  return run.Run();
}
