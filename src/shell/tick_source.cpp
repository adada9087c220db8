#include "shell/tick_source.h"

#include <chrono>

std::uint32_t SteadyTickSource::Now() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
  // Wraps like a 32-bit tick counter.
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}
