#pragma once

// Fakes of the display window's platform pieces: they remember what was
// asked of them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "display/display_surface.h"
#include "engine/sound_engine.h"

namespace test {

// Fills `engine` as an analysis would: `sample_count` samples at 22050 Hz
// valued `sample(index)`, and counted shots at `shots`.
inline void FillClip(SoundEngine& engine, std::uint32_t sample_count,
                     const std::vector<std::uint32_t>& shots,
                     const std::function<std::uint8_t(std::uint32_t)>& sample) {
  engine.sample_rate = 22050;
  engine.sample_count = sample_count;
  engine.clip_length = sample_count / 22050;
  engine.samples.emplace(sample_count);
  for (std::uint32_t i = 0; i < sample_count; ++i) {
    (*engine.samples)[i] = sample(i);
  }
  for (const std::uint32_t position : shots) {
    engine.shots.push_back(ShotRecord{position, static_cast<std::uint8_t>(engine.shots.size())});
  }
  engine.shot_list_count = static_cast<std::uint32_t>(engine.shots.size());
  engine.number_of_shots = static_cast<std::int32_t>(engine.shots.size());
}

class FakeDisplaySurface final : public DisplaySurface {
 public:
  bool Move(const PixelRect& outer, bool /*repaint*/) override {
    const bool changed = outer.width != rect.width || outer.height != rect.height;
    rect = outer;
    return changed;
  }
  PixelRect OuterRect() const override { return rect; }
  void Show(bool is_shown) override { shown = is_shown; }
  bool IsShown() const override { return shown; }
  std::int32_t ClientWidth() const override { return 593; }
  void SetScrollInfo(const ScrollInfo& info) override { scroll = info; }
  ScrollInfo GetScrollInfo() const override { return scroll; }
  std::int32_t ScrollTrackPosition() const override { return 0; }
  void SetScrollPosition(std::int32_t position) override { scroll.position = position; }
  void Present(const WaveformPicture& /*picture*/) override {}

  PixelRect rect;
  bool shown = false;
  ScrollInfo scroll;
};

class FakeDisplayPlatform final : public DisplayPlatform {
 public:
  bool RegisterWindowClass(std::string_view /*class_name*/, Rgb /*background*/) override {
    return true;
  }
  void UnregisterWindowClass(std::string_view /*class_name*/) override { ++unregistered; }
  std::unique_ptr<DisplaySurface> CreateDisplayWindow(std::string_view /*class_name*/,
                                                      std::string_view /*title*/,
                                                      const PixelRect& outer, ParentWindow* parent,
                                                      DisplayProcedure /*procedure*/) override {
    created_parent = parent;
    if (refuse_window) {
      return nullptr;
    }
    auto surface = std::make_unique<FakeDisplaySurface>();
    surface->rect = outer;
    last_surface = surface.get();
    return surface;
  }

  bool refuse_window = false;
  int unregistered = 0;
  ParentWindow* created_parent = nullptr;
  FakeDisplaySurface* last_surface = nullptr;  // owned by the display record
};

}  // namespace test
