#pragma once

#include <cstdint>

// A colour as red, green and blue.
struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kDisplayBackground{111, 111, 115};
inline constexpr Rgb kTraceColour{0, 255, 0};
inline constexpr Rgb kMarkerColour{0, 0, 255};
inline constexpr Rgb kLabelTextColour{255, 50, 0};
inline constexpr Rgb kLabelBoxColour{0, 255, 0};

inline constexpr int kTracePenWidth = 2;
inline constexpr int kMarkerPenWidth = 5;
