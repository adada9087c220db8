#pragma once

#include <string_view>

// Two append-only text logs in the current directory. Each entry opens the
// file, appends one line and closes it again, so every entry written before a
// crash is on disk and a failed entry never affects the next one.
enum class LogTarget { Routine, Critical };

inline constexpr const char* kRoutineLogName = "TAMBRIX.log";
inline constexpr const char* kCriticalLogName = "TAMBRIX_crit.log";
inline constexpr std::string_view kLogLinePrefix = "Data Time: ";

const char* LogFileName(LogTarget target);

// Appends "Data Time: " + message + "\n" to the target's file. A file that
// cannot be opened loses this entry only; the caller is never told.
void WriteLogEntry(LogTarget target, std::string_view message);
