#include "log/event_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// A batch writes once this much is pending, so a pass that logs every sample
// never holds its whole log in memory.
constexpr std::size_t kBatchBytes = std::size_t{1} << 20;

std::string& LastFailure() {
  static std::string last;
  return last;
}

// The target's file opened for appending, or -1. O_NOFOLLOW and the regular
// file check keep a link or a device named like a log from being written
// through; O_NONBLOCK keeps a FIFO from holding the open.
int OpenLog(LogTarget target) {
  const int file =
      ::open(LogFileName(target),
             O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (file < 0) {
    return -1;
  }
  struct stat status {};
  if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(file);
    return -1;
  }
  return file;
}

// Each write appends at the end, so lines of other processes never land
// inside one of ours.
void WriteAll(int file, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(file, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void AppendLine(std::string& out, std::string_view message) {
  out.append(kLogLinePrefix).append(message).push_back('\n');
}

}  // namespace

const char* LogFileName(LogTarget target) {
  return target == LogTarget::Routine ? kRoutineLogName : kCriticalLogName;
}

void WriteLogEntry(LogTarget target, std::string_view message) {
  const int file = OpenLog(target);
  if (file < 0) {
    return;
  }
  std::string line;
  AppendLine(line, message);
  WriteAll(file, line);
  ::close(file);
}

LogBatch::LogBatch(LogTarget target) : target_(target) {}

LogBatch::~LogBatch() { Close(); }

void LogBatch::Add(std::string_view message) {
  AppendLine(pending_, message);
  if (pending_.size() >= kBatchBytes) {
    Flush();
  }
}

void LogBatch::Flush() {
  if (!opened_) {
    opened_ = true;
    file_ = OpenLog(target_);
  }
  if (file_ >= 0) {
    WriteAll(file_, pending_);
  }
  pending_.clear();
}

void LogBatch::Close() {
  if (!pending_.empty()) {
    Flush();
  }
  if (file_ >= 0) {
    ::close(file_);
    file_ = -1;
  }
  opened_ = false;
}

void WriteFailureEntry(std::string_view message) {
  RememberFailure(message);
  WriteLogEntry(LogTarget::Critical, message);
}

void RememberFailure(std::string_view message) { LastFailure().assign(message); }

const std::string& LastFailureEntry() { return LastFailure(); }

void ClearLastFailureEntry() { LastFailure().clear(); }
