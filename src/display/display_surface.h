#pragma once

#include <cstdint>
#include <string>

struct WaveformPicture;

// A rectangle in pixels: position and size.
struct PixelRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// A horizontal scroll bar as the view publishes it: the range min..max
// (inclusive), the page, and the position of the page's left edge.
struct ScrollInfo {
  std::int32_t min = 0;
  std::int32_t max = 0;
  std::uint32_t page = 0;
  std::int32_t position = 0;
};

// The display window as the Qt-free view logic drives it. Moves are in the
// parent's client coordinates and give the outer size; the client area is
// what lies inside the border and above the scroll bar.
class DisplaySurface {
 public:
  virtual ~DisplaySurface() = default;
  // True when the outer size changed.
  virtual bool Move(const PixelRect& outer) = 0;
  virtual void Show(bool shown) = 0;
  virtual std::int32_t ClientWidth() const = 0;
  // Range, page and position as given; a bar whose range fits in one page is
  // disabled, never hidden.
  virtual void SetScrollInfo(const ScrollInfo& info) = 0;
  // Where the thumb was released.
  virtual std::int32_t ScrollTrackPosition() const = 0;
  virtual void SetScrollPosition(std::int32_t position) = 0;
  // Replaces the window's picture.
  virtual void Present(const WaveformPicture& picture) = 0;
  // Width in pixels of a shot label as Present draws it.
  virtual std::int32_t MeasureLabel(const std::string& label) const = 0;
};
