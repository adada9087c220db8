#pragma once

// Test doubles of the display window's platform pieces: they remember what
// was asked of them.

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "display/display_surface.h"
#include "display/waveform_picture.h"

namespace test {

class FakeDisplaySurface final : public DisplaySurface {
 public:
  bool Move(const PixelRect& outer, bool /*repaint*/) override {
    const bool changed = outer.width != rect.width || outer.height != rect.height;
    rect = outer;
    ++moves;
    return changed;
  }
  PixelRect OuterRect() const override { return rect; }
  void Show(bool is_shown) override { shown = is_shown; }
  bool IsShown() const override { return shown; }
  std::int32_t ClientWidth() const override { return client_width; }
  void SetScrollInfo(const ScrollInfo& info) override {
    scroll = info;
    ++scroll_updates;
  }
  ScrollInfo GetScrollInfo() const override { return scroll; }
  std::int32_t ScrollTrackPosition() const override { return track_position; }
  void SetScrollPosition(std::int32_t position) override { scroll.position = position; }
  void Present(const WaveformPicture& picture) override { presented.push_back(picture); }

  PixelRect rect;
  bool shown = false;
  std::int32_t client_width = 593;
  ScrollInfo scroll;
  int scroll_updates = 0;
  int moves = 0;
  std::int32_t track_position = 0;
  std::vector<WaveformPicture> presented;
};

class FakeDisplayPlatform final : public DisplayPlatform {
 public:
  bool RegisterWindowClass(std::string_view class_name, Rgb background) override {
    if (refuse_class || classes.count(std::string(class_name)) != 0) {
      return false;
    }
    classes.insert(std::string(class_name));
    class_background = background;
    return true;
  }
  void UnregisterWindowClass(std::string_view class_name) override {
    classes.erase(std::string(class_name));
    ++unregistered;
  }
  std::unique_ptr<DisplaySurface> CreateDisplayWindow(std::string_view class_name,
                                                      std::string_view title,
                                                      const PixelRect& outer, ParentWindow* parent,
                                                      DisplayProcedure procedure) override {
    created_class = std::string(class_name);
    created_title = std::string(title);
    created_rect = outer;
    created_parent = parent;
    created_procedure = std::move(procedure);
    if (refuse_window) {
      return nullptr;
    }
    auto surface = std::make_unique<FakeDisplaySurface>();
    surface->rect = outer;
    last_surface = surface.get();
    return surface;
  }

  bool refuse_class = false;
  bool refuse_window = false;
  std::set<std::string> classes;
  Rgb class_background;
  int unregistered = 0;
  std::string created_class;
  std::string created_title;
  PixelRect created_rect;
  ParentWindow* created_parent = nullptr;
  DisplayProcedure created_procedure;
  FakeDisplaySurface* last_surface = nullptr;  // owned by the display record
};

}  // namespace test
