#pragma once

#include <QFrame>
#include <QImage>
#include <QPointer>
#include <map>
#include <memory>
#include <string>

#include "display/display_colours.h"
#include "display/display_surface.h"

class QScrollBar;

// The drawing area: shows the last picture it was given and asks the
// window's procedure to paint whenever it is exposed.
class DisplayCanvas final : public QWidget {
  Q_OBJECT
 public:
  DisplayCanvas(QWidget* parent, Rgb background, DisplayProcedure procedure);
  void Present(const WaveformPicture& picture);
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitImage();
  Rgb background_;
  DisplayProcedure procedure_;
  QImage image_;
  bool painting_ = false;
};

// The display window: a bordered child with the drawing area above a
// horizontal scroll bar with the platform's usual behaviour.
class DisplayWidget final : public QFrame {
  Q_OBJECT
 public:
  DisplayWidget(QWidget* parent, Rgb background, DisplayProcedure procedure);
  DisplayCanvas* Canvas() const { return canvas_; }
  QScrollBar* ScrollBar() const { return scroll_bar_; }
  void SetScrollInfo(const ScrollInfo& info);
  ScrollInfo GetScrollInfo() const { return scroll_info_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Send(ScrollCode code);
  void OnScrollAction(int action);
  void OnThumbReleased();
  DisplayProcedure procedure_;
  DisplayCanvas* canvas_;
  QScrollBar* scroll_bar_;
  ScrollInfo scroll_info_;
};

// DisplaySurface over a DisplayWidget; deletes the widget when it goes.
class DisplaySurfaceQt final : public DisplaySurface {
 public:
  explicit DisplaySurfaceQt(DisplayWidget* widget) : widget_(widget) {}
  ~DisplaySurfaceQt() override;
  DisplaySurfaceQt(const DisplaySurfaceQt&) = delete;
  DisplaySurfaceQt& operator=(const DisplaySurfaceQt&) = delete;

  bool Move(const PixelRect& outer, bool repaint) override;
  PixelRect OuterRect() const override;
  void Show(bool shown) override;
  bool IsShown() const override;
  std::int32_t ClientWidth() const override;
  void SetScrollInfo(const ScrollInfo& info) override;
  ScrollInfo GetScrollInfo() const override;
  std::int32_t ScrollTrackPosition() const override;
  void SetScrollPosition(std::int32_t position) override;
  void Present(const WaveformPicture& picture) override;

  DisplayWidget* Widget() const { return widget_; }

 private:
  QPointer<DisplayWidget> widget_;
};

// Display windows as child widgets of the main dialog.
class DisplayPlatformQt final : public DisplayPlatform {
 public:
  bool RegisterWindowClass(std::string_view class_name, Rgb background) override;
  void UnregisterWindowClass(std::string_view class_name) override;
  std::unique_ptr<DisplaySurface> CreateDisplayWindow(std::string_view class_name,
                                                      std::string_view title,
                                                      const PixelRect& outer, ParentWindow* parent,
                                                      DisplayProcedure procedure) override;

 private:
  std::map<std::string, Rgb, std::less<>> classes_;
};
