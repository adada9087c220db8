#include "log/event_log.h"

#include <fstream>

namespace {

// The two streams live for the whole process but are closed between entries.
std::ofstream& StreamFor(LogTarget target) {
  static std::ofstream routine_stream;
  static std::ofstream critical_stream;
  return target == LogTarget::Routine ? routine_stream : critical_stream;
}

}  // namespace

const char* LogFileName(LogTarget target) {
  return target == LogTarget::Routine ? kRoutineLogName : kCriticalLogName;
}

void WriteLogEntry(LogTarget target, std::string_view message) {
  std::ofstream& stream = StreamFor(target);
  stream.clear();
  stream.open(LogFileName(target), std::ios::out | std::ios::app);
  if (!stream.is_open()) {
    stream.clear();
    return;
  }
  stream << kLogLinePrefix << message << '\n';
  stream.close();
  stream.clear();
}
