#pragma once

#include <QFrame>
#include <QImage>
#include <QPointer>
#include <functional>
#include <memory>

#include "display/display_colours.h"
#include "display/display_surface.h"
#include "display/waveform_view.h"

class QScrollBar;
struct DisplayWindow;
struct SoundEngine;

// The drawing area: shows the last picture it was given and has it painted
// anew whenever it is exposed; framed in the highlight colour while the
// display has the keyboard focus.
class DisplayCanvas final : public QWidget {
  Q_OBJECT
 public:
  DisplayCanvas(QWidget* parent, std::function<void()> paint);
  void Present(const WaveformPicture& picture);
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitImage();
  std::function<void()> paint_;
  QImage image_;
  bool painting_ = false;
};

// The display window: a bordered child with the drawing area above a
// horizontal scroll bar; the bar, the keys and the wheel scroll the view. A
// tab stop; the wheel scrolls it alike over the drawing and over the bar.
// Ctrl and the wheel zoom around the pointer, + and - around the pointer
// when it is over the drawing, else around the drawing's middle.
class DisplayWidget final : public QFrame {
  Q_OBJECT
 public:
  DisplayWidget(QWidget* parent, WaveformView& view, const SoundEngine& engine,
                DisplayWindow& display);
  DisplayCanvas* Canvas() const { return canvas_; }
  QScrollBar* ScrollBar() const { return scroll_bar_; }
  void SetScrollInfo(const ScrollInfo& info);
  ScrollInfo GetScrollInfo() const { return scroll_info_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Scroll(ScrollAction action);
  void Zoom(std::int32_t steps, std::int32_t anchor_x);
  std::int32_t KeyZoomAnchor() const;
  void OnScrollBarAction(int action);
  WaveformView& view_;
  const SoundEngine& engine_;
  DisplayWindow& display_;
  DisplayCanvas* canvas_;
  QScrollBar* scroll_bar_;
  ScrollInfo scroll_info_;
  int wheel_angle_ = 0;  // turned but not yet a whole notch
  int zoom_angle_ = 0;   // the same, turned with Ctrl held
};

// DisplaySurface over a DisplayWidget; deletes the widget when it goes.
class DisplaySurfaceQt final : public DisplaySurface {
 public:
  explicit DisplaySurfaceQt(DisplayWidget* widget) : widget_(widget) {}
  ~DisplaySurfaceQt() override;
  DisplaySurfaceQt(const DisplaySurfaceQt&) = delete;
  DisplaySurfaceQt& operator=(const DisplaySurfaceQt&) = delete;

  bool Move(const PixelRect& outer) override;
  void Show(bool shown) override;
  std::int32_t ClientWidth() const override;
  void SetScrollInfo(const ScrollInfo& info) override;
  std::int32_t ScrollTrackPosition() const override;
  void SetScrollPosition(std::int32_t position) override;
  void Present(const WaveformPicture& picture) override;
  std::int32_t MeasureLabel(const std::string& label) const override;

 private:
  QPointer<DisplayWidget> widget_;
};

// A new display window under `parent` that paints and scrolls `view`.
std::unique_ptr<DisplaySurface> CreateDisplayWidget(QWidget* parent, WaveformView& view,
                                                    const SoundEngine& engine,
                                                    DisplayWindow& display);
