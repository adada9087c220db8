#pragma once

#include <string>
#include <string_view>

// Two append-only text logs in the current directory. Each entry opens the
// file, appends one line and closes it again, so every entry written before a
// crash is on disk and a failed entry never affects the next one.
enum class LogTarget { Routine, Critical };

inline constexpr const char* kRoutineLogName = "TAMBRIX.log";
inline constexpr const char* kCriticalLogName = "TAMBRIX_crit.log";
inline constexpr std::string_view kLogLinePrefix = "Data Time: ";

const char* LogFileName(LogTarget target);

// Appends "Data Time: " + message + "\n" to the target's file. Only a regular
// file is written, never through a symbolic link, and the open never waits (a
// FIFO named like a log would block it). A file that can't be written loses
// this entry only; the caller is never told.
void WriteLogEntry(LogTarget target, std::string_view message);

// The lines of one pass that may log once per sample, appended with one open
// and one close and in as few writes as the buffer allows: the bytes and
// their order are those of one WriteLogEntry per line, and every line is on
// disk once the batch is closed or destroyed.
class LogBatch {
 public:
  explicit LogBatch(LogTarget target);
  ~LogBatch();
  LogBatch(const LogBatch&) = delete;
  LogBatch& operator=(const LogBatch&) = delete;

  void Add(std::string_view message);
  void Close();

 private:
  void Flush();
  LogTarget target_;
  int file_ = -1;
  bool opened_ = false;
  std::string pending_;
};

// A critical entry that reports a failure. The last one since the last clear
// is remembered, written or lost: it is the reason a caller without message
// boxes gives when a load ends without a clip.
void WriteFailureEntry(std::string_view message);
// Only the remembering, for a failure logged through a LogBatch.
void RememberFailure(std::string_view message);
const std::string& LastFailureEntry();
void ClearLastFailureEntry();
