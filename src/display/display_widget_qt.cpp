#include "display/display_widget_qt.h"

#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <iterator>
#include <limits>

#include "display/display_window.h"
#include "display/waveform_painter_qt.h"
#include "display/waveform_picture.h"

namespace {

constexpr int kScrollBarHeight = 17;
// A wheel notch, in eighths of a degree, moves the view by one line.
constexpr int kWheelNotch = 120;
constexpr int kFocusFrameWidth = 2;

}  // namespace

DisplayCanvas::DisplayCanvas(QWidget* parent, std::function<void()> paint)
    : QWidget(parent), paint_(std::move(paint)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void DisplayCanvas::FitImage() {
  const QSize wanted(std::max(width(), 1), std::max(height(), 1));
  if (image_.size() == wanted) {
    return;
  }
  // A window that has nothing new to draw keeps its old picture.
  QImage fitted(wanted, QImage::Format_RGB32);
  fitted.fill(ToQColor(kDisplayBackground));
  if (!image_.isNull()) {
    QPainter painter(&fitted);
    painter.drawImage(0, 0, image_);
  }
  image_ = fitted;
}

void DisplayCanvas::Present(const WaveformPicture& picture) {
  FitImage();
  DrawWaveformPicture(image_, picture, kDisplayBackground, font());
  if (!painting_) {
    update();
  }
}

void DisplayCanvas::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitImage();
}

void DisplayCanvas::paintEvent(QPaintEvent* event) {
  FitImage();
  if (!painting_) {
    painting_ = true;
    paint_();
    painting_ = false;
  }
  QPainter painter(this);
  painter.drawImage(event->rect(), image_, event->rect());
  if (parentWidget()->hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), kFocusFrameWidth));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
  }
}

DisplayWidget::DisplayWidget(QWidget* parent, WaveformView& view, const SoundEngine& engine,
                             DisplayWindow& display)
    : QFrame(parent),
      view_(view),
      engine_(engine),
      display_(display),
      canvas_(new DisplayCanvas(this, [this] { PaintWaveform(view_, engine_, display_); })),
      scroll_bar_(new QScrollBar(Qt::Horizontal, this)) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(kDisplayBorderWidth);
  setFocusPolicy(Qt::StrongFocus);
  // The thumb takes effect when released; other ways of moving the bar that
  // the view doesn't follow are switched off.
  scroll_bar_->setTracking(false);
  scroll_bar_->setFocusPolicy(Qt::NoFocus);
  scroll_bar_->setContextMenuPolicy(Qt::NoContextMenu);
  scroll_bar_->installEventFilter(this);
  connect(scroll_bar_, &QScrollBar::actionTriggered, this, &DisplayWidget::OnScrollBarAction);
  connect(scroll_bar_, &QScrollBar::sliderReleased, this,
          [this] { Scroll(ScrollAction::ThumbReleased); });
}

void DisplayWidget::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  const int inner_width = std::max(width() - 2 * kDisplayBorderWidth, 0);
  const int inner_height = std::max(height() - 2 * kDisplayBorderWidth, 0);
  const int bar_height = std::min(kScrollBarHeight, inner_height);
  canvas_->setGeometry(kDisplayBorderWidth, kDisplayBorderWidth, inner_width,
                       inner_height - bar_height);
  scroll_bar_->setGeometry(kDisplayBorderWidth, kDisplayBorderWidth + inner_height - bar_height,
                           inner_width, bar_height);
}

void DisplayWidget::Scroll(ScrollAction action) { HandleScroll(view_, engine_, display_, action); }

void DisplayWidget::Zoom(std::int32_t steps, std::int32_t anchor_x) {
  ZoomView(view_, engine_, display_, steps, anchor_x);
}

std::int32_t DisplayWidget::KeyZoomAnchor() const {
  const QPoint pointer = canvas_->mapFromGlobal(QCursor::pos());
  return canvas_->rect().contains(pointer) ? pointer.x() : canvas_->width() / 2;
}

void DisplayWidget::OnScrollBarAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      Scroll(ScrollAction::LineLeft);
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      Scroll(ScrollAction::LineRight);
      break;
    case QAbstractSlider::SliderPageStepSub:
      Scroll(ScrollAction::PreviousShot);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      Scroll(ScrollAction::NextShot);
      break;
    case QAbstractSlider::SliderMove:
      // A jump of the thumb without a drag (a middle click) acts as a release.
      if (!scroll_bar_->isSliderDown()) {
        Scroll(ScrollAction::ThumbReleased);
      }
      break;
    default:
      // The ends of the range move nothing; keep the bar where it was.
      scroll_bar_->setSliderPosition(scroll_bar_->value());
      break;
  }
}

void DisplayWidget::SetScrollInfo(const ScrollInfo& info) {
  scroll_info_ = info;
  const std::int64_t last_position =
      std::max<std::int64_t>(info.min, static_cast<std::int64_t>(info.max) - info.page + 1);
  const int page =
      static_cast<int>(std::min<std::uint32_t>(info.page, std::numeric_limits<int>::max()));
  const QSignalBlocker blocker(scroll_bar_);
  scroll_bar_->setRange(info.min, static_cast<int>(last_position));
  scroll_bar_->setPageStep(page);
  scroll_bar_->setValue(info.position);
  scroll_info_.position = scroll_bar_->value();
  // A range that fits in one page leaves the bar disabled, not hidden.
  const std::int64_t span = static_cast<std::int64_t>(info.max) - info.min + 1;
  scroll_bar_->setEnabled(span > static_cast<std::int64_t>(info.page));
}

void DisplayWidget::keyPressEvent(QKeyEvent* event) {
  struct KeyAction {
    int key;
    ScrollAction action;
  };
  static constexpr KeyAction kKeyActions[] = {
      {Qt::Key_Left, ScrollAction::LineLeft},       {Qt::Key_Right, ScrollAction::LineRight},
      {Qt::Key_PageUp, ScrollAction::PreviousShot}, {Qt::Key_PageDown, ScrollAction::NextShot},
      {Qt::Key_Home, ScrollAction::FirstShot},      {Qt::Key_End, ScrollAction::LastShot},
  };
  struct KeyZoom {
    int key;
    std::int32_t steps;
  };
  static constexpr KeyZoom kKeyZooms[] = {
      {Qt::Key_Plus, 1}, {Qt::Key_Equal, 1}, {Qt::Key_Minus, -1}};
  const auto* zoom = std::find_if(std::begin(kKeyZooms), std::end(kKeyZooms),
                                  [&](const KeyZoom& k) { return k.key == event->key(); });
  if (zoom != std::end(kKeyZooms)) {
    Zoom(zoom->steps, KeyZoomAnchor());
    event->accept();
    return;
  }
  const auto* found = std::find_if(std::begin(kKeyActions), std::end(kKeyActions),
                                   [&](const KeyAction& k) { return k.key == event->key(); });
  if (found == std::end(kKeyActions)) {
    QFrame::keyPressEvent(event);
    return;
  }
  Scroll(found->action);
  event->accept();
}

void DisplayWidget::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  // Fine-grained wheels and touch pads send parts of a notch.
  const int angle = delta.x() != 0 ? delta.x() : delta.y();
  if (event->modifiers().testFlag(Qt::ControlModifier)) {
    zoom_angle_ += angle;
    const int steps = zoom_angle_ / kWheelNotch;
    zoom_angle_ -= steps * kWheelNotch;
    if (steps != 0) {
      Zoom(steps, canvas_->mapFromGlobal(event->globalPosition().toPoint()).x());
    }
    event->accept();
    return;
  }
  wheel_angle_ += angle;
  for (; wheel_angle_ >= kWheelNotch; wheel_angle_ -= kWheelNotch) {
    Scroll(ScrollAction::LineLeft);
  }
  for (; wheel_angle_ <= -kWheelNotch; wheel_angle_ += kWheelNotch) {
    Scroll(ScrollAction::LineRight);
  }
  event->accept();
}

bool DisplayWidget::eventFilter(QObject* watched, QEvent* event) {
  // The bar would otherwise move its thumb by a few pixels a notch.
  if (watched == scroll_bar_ && event->type() == QEvent::Wheel) {
    wheelEvent(static_cast<QWheelEvent*>(event));
    return true;
  }
  return QFrame::eventFilter(watched, event);
}

void DisplayWidget::focusInEvent(QFocusEvent* event) {
  QFrame::focusInEvent(event);
  canvas_->update();
}

void DisplayWidget::focusOutEvent(QFocusEvent* event) {
  QFrame::focusOutEvent(event);
  canvas_->update();
}

void DisplayWidget::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  event->accept();
}

DisplaySurfaceQt::~DisplaySurfaceQt() { delete widget_.data(); }

bool DisplaySurfaceQt::Move(const PixelRect& outer) {
  if (widget_.isNull()) {
    return false;
  }
  const QSize before = widget_->size();
  widget_->setGeometry(outer.x, outer.y, std::max(outer.width, 0), std::max(outer.height, 0));
  widget_->update();
  return widget_->size() != before;
}

void DisplaySurfaceQt::Show(bool shown) {
  if (!widget_.isNull()) {
    widget_->setVisible(shown);
  }
}

std::int32_t DisplaySurfaceQt::ClientWidth() const {
  return widget_.isNull() ? 0 : widget_->Canvas()->width();
}

void DisplaySurfaceQt::SetScrollInfo(const ScrollInfo& info) {
  if (!widget_.isNull()) {
    widget_->SetScrollInfo(info);
  }
}

std::int32_t DisplaySurfaceQt::ScrollTrackPosition() const {
  return widget_.isNull() ? 0 : widget_->ScrollBar()->sliderPosition();
}

void DisplaySurfaceQt::SetScrollPosition(std::int32_t position) {
  if (widget_.isNull()) {
    return;
  }
  ScrollInfo info = widget_->GetScrollInfo();
  info.position = position;
  widget_->SetScrollInfo(info);
}

void DisplaySurfaceQt::Present(const WaveformPicture& picture) {
  if (!widget_.isNull()) {
    widget_->Canvas()->Present(picture);
  }
}

std::int32_t DisplaySurfaceQt::MeasureLabel(const std::string& label) const {
  if (widget_.isNull()) {
    return 0;
  }
  return QFontMetrics(LabelFont(widget_->Canvas()->font()))
      .horizontalAdvance(QString::fromLatin1(label.data(), static_cast<qsizetype>(label.size())));
}

std::unique_ptr<DisplaySurface> CreateDisplayWidget(QWidget* parent, WaveformView& view,
                                                    const SoundEngine& engine,
                                                    DisplayWindow& display) {
  auto* widget = new DisplayWidget(parent, view, engine, display);
  widget->setWindowTitle(
      QString::fromUtf8(kDisplayTitle.data(), static_cast<qsizetype>(kDisplayTitle.size())));
  return std::make_unique<DisplaySurfaceQt>(widget);
}
