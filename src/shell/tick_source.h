#pragma once

#include <cstdint>

// Milliseconds from a fixed point, wrapping round at 2^32.
class TickSource {
 public:
  virtual ~TickSource() = default;
  virtual std::uint32_t Now() = 0;
};

// The monotonic clock.
class SteadyTickSource final : public TickSource {
 public:
  std::uint32_t Now() override;
};
