#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "display/display_colours.h"

struct WaveformPicture;

// A rectangle in pixels: position and size.
struct PixelRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// A horizontal scroll bar as the view publishes it: the range nMin..nMax
// (inclusive), the page, and the position of the page's left edge.
struct ScrollInfo {
  std::int32_t min = 0;
  std::int32_t max = 0;
  std::uint32_t page = 0;
  std::int32_t position = 0;
};

// What the scroll bar, the keys and the platform tell the display window.
enum class ScrollCode : std::uint8_t {
  LineLeft = 0,
  LineRight = 1,
  PageLeft = 2,
  PageRight = 3,
  ThumbPosition = 4,
  ThumbTrack = 5,
  Left = 6,
  Right = 7,
  EndScroll = 8,
};

enum class DisplayMessageKind : std::uint8_t {
  Create,
  Size,
  Paint,
  HorizontalScroll,
  LeftButtonDown
};

struct DisplayMessage {
  DisplayMessageKind kind = DisplayMessageKind::Paint;
  ScrollCode code = ScrollCode::EndScroll;  // HorizontalScroll only
};

// The display window's message handler.
using DisplayProcedure = std::function<void(const DisplayMessage&)>;

// Anything that can hold the display window as its child (the main dialog).
class ParentWindow {
 public:
  virtual ~ParentWindow() = default;
};

// The created display window. Moves are in the parent's client coordinates
// and give the outer size; the client area is what lies inside the border
// and above the scroll bar.
class DisplaySurface {
 public:
  virtual ~DisplaySurface() = default;
  // True when the outer size changed.
  virtual bool Move(const PixelRect& outer, bool repaint) = 0;
  virtual PixelRect OuterRect() const = 0;
  virtual void Show(bool shown) = 0;
  virtual bool IsShown() const = 0;
  virtual std::int32_t ClientWidth() const = 0;
  // Range, page and position as given; a bar whose range fits in one page is
  // disabled, never hidden.
  virtual void SetScrollInfo(const ScrollInfo& info) = 0;
  virtual ScrollInfo GetScrollInfo() const = 0;
  // Where the thumb was released.
  virtual std::int32_t ScrollTrackPosition() const = 0;
  virtual void SetScrollPosition(std::int32_t position) = 0;
  // Replaces the window's picture.
  virtual void Present(const WaveformPicture& picture) = 0;
};

// Window classes and the creation of display windows.
class DisplayPlatform {
 public:
  virtual ~DisplayPlatform() = default;
  // False when the class is already registered or can't be. Windows of the
  // class are erased with `background`.
  virtual bool RegisterWindowClass(std::string_view class_name, Rgb background) = 0;
  virtual void UnregisterWindowClass(std::string_view class_name) = 0;
  // Null when the window can't be made. `procedure` receives the window's
  // scroll, key and paint messages for as long as it exists.
  virtual std::unique_ptr<DisplaySurface> CreateDisplayWindow(std::string_view class_name,
                                                              std::string_view title,
                                                              const PixelRect& outer,
                                                              ParentWindow* parent,
                                                              DisplayProcedure procedure) = 0;
};
