#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "log/event_log.h"

// The fuzzers hand their input to the program as a file, as a user would:
// one open, one write and one close.
inline bool WriteFuzzInput(const char* name, const std::uint8_t* data, std::size_t size) {
  const int file = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (file < 0) {
    return false;
  }
  const bool written = size == 0 || ::write(file, data, size) == static_cast<ssize_t>(size);
  return ::close(file) == 0 && written;
}

// The logs stay on, as they are part of what is run; they are cleared now and
// then instead of after every input.
inline void KeepFuzzLogsSmall() {
  constexpr unsigned kInputsBetweenClears = 1024;
  static unsigned inputs = 0;
  if (++inputs % kInputsBetweenClears == 0) {
    std::remove(kRoutineLogName);
    std::remove(kCriticalLogName);
  }
}
