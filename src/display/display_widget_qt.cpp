#include "display/display_widget_qt.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <limits>

#include "display/waveform_painter_qt.h"
#include "display/waveform_picture.h"

namespace {

constexpr int kBorderWidth = 1;
constexpr int kScrollBarHeight = 17;

DisplayMessage ScrollMessage(ScrollCode code) {
  return DisplayMessage{DisplayMessageKind::HorizontalScroll, code};
}

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

DisplayCanvas::DisplayCanvas(QWidget* parent, Rgb background, DisplayProcedure procedure)
    : QWidget(parent), background_(background), procedure_(std::move(procedure)) {
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
  fitted.fill(ToQColor(background_));
  if (!image_.isNull()) {
    QPainter painter(&fitted);
    painter.drawImage(0, 0, image_);
  }
  image_ = fitted;
}

void DisplayCanvas::Present(const WaveformPicture& picture) {
  FitImage();
  DrawWaveformPicture(image_, picture, background_, font());
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
  if (!painting_ && procedure_) {
    painting_ = true;
    procedure_(DisplayMessage{DisplayMessageKind::Paint, ScrollCode::EndScroll});
    painting_ = false;
  }
  QPainter painter(this);
  painter.drawImage(event->rect(), image_, event->rect());
}

DisplayWidget::DisplayWidget(QWidget* parent, Rgb background, DisplayProcedure procedure)
    : QFrame(parent),
      procedure_(std::move(procedure)),
      canvas_(new DisplayCanvas(this, background, procedure_)),
      scroll_bar_(new QScrollBar(Qt::Horizontal, this)) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(kBorderWidth);
  setFocusPolicy(Qt::ClickFocus);
  // The thumb takes effect when released; other ways of moving the bar that
  // the view doesn't follow are switched off.
  scroll_bar_->setTracking(false);
  scroll_bar_->setFocusPolicy(Qt::NoFocus);
  scroll_bar_->setContextMenuPolicy(Qt::NoContextMenu);
  connect(scroll_bar_, &QScrollBar::actionTriggered, this, &DisplayWidget::OnScrollAction);
  connect(scroll_bar_, &QScrollBar::sliderReleased, this, &DisplayWidget::OnThumbReleased);
}

void DisplayWidget::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  const int inner_width = std::max(width() - 2 * kBorderWidth, 0);
  const int inner_height = std::max(height() - 2 * kBorderWidth, 0);
  const int bar_height = std::min(kScrollBarHeight, inner_height);
  canvas_->setGeometry(kBorderWidth, kBorderWidth, inner_width, inner_height - bar_height);
  scroll_bar_->setGeometry(kBorderWidth, kBorderWidth + inner_height - bar_height, inner_width,
                           bar_height);
}

void DisplayWidget::Send(ScrollCode code) {
  if (procedure_) {
    procedure_(ScrollMessage(code));
  }
}

void DisplayWidget::OnScrollAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      Send(ScrollCode::LineLeft);
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      Send(ScrollCode::LineRight);
      break;
    case QAbstractSlider::SliderPageStepSub:
      Send(ScrollCode::PageLeft);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      Send(ScrollCode::PageRight);
      break;
    case QAbstractSlider::SliderMove:
      // A jump of the thumb without a drag (a middle click) acts as a release.
      if (!scroll_bar_->isSliderDown()) {
        Send(ScrollCode::ThumbPosition);
      }
      break;
    default:
      // The ends of the range move nothing; keep the bar where it was.
      scroll_bar_->setSliderPosition(scroll_bar_->value());
      break;
  }
}

void DisplayWidget::OnThumbReleased() { Send(ScrollCode::ThumbPosition); }

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
  switch (event->key()) {
    case Qt::Key_Left:
      Send(ScrollCode::LineLeft);
      break;
    case Qt::Key_Right:
      Send(ScrollCode::LineRight);
      break;
    case Qt::Key_PageUp:
      Send(ScrollCode::PageLeft);
      break;
    case Qt::Key_PageDown:
      Send(ScrollCode::PageRight);
      break;
    default:
      QFrame::keyPressEvent(event);
      return;
  }
  event->accept();
}

void DisplayWidget::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  const int step = delta.x() != 0 ? delta.x() : delta.y();
  if (step > 0) {
    Send(ScrollCode::LineLeft);
  } else if (step < 0) {
    Send(ScrollCode::LineRight);
  }
  event->accept();
}

void DisplayWidget::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (procedure_) {
    procedure_(DisplayMessage{DisplayMessageKind::LeftButtonDown, ScrollCode::EndScroll});
  }
  event->accept();
}

DisplaySurfaceQt::~DisplaySurfaceQt() { delete widget_.data(); }

bool DisplaySurfaceQt::Move(const PixelRect& outer, bool repaint) {
  if (widget_.isNull()) {
    return false;
  }
  const QSize before = widget_->size();
  widget_->setGeometry(outer.x, outer.y, std::max(outer.width, 0), std::max(outer.height, 0));
  if (repaint) {
    widget_->update();
  }
  return widget_->size() != before;
}

PixelRect DisplaySurfaceQt::OuterRect() const {
  if (widget_.isNull()) {
    return {};
  }
  const QRect rect = widget_->geometry();
  return PixelRect{rect.x(), rect.y(), rect.width(), rect.height()};
}

void DisplaySurfaceQt::Show(bool shown) {
  if (!widget_.isNull()) {
    widget_->setVisible(shown);
  }
}

bool DisplaySurfaceQt::IsShown() const { return !widget_.isNull() && !widget_->isHidden(); }

std::int32_t DisplaySurfaceQt::ClientWidth() const {
  return widget_.isNull() ? 0 : widget_->Canvas()->width();
}

void DisplaySurfaceQt::SetScrollInfo(const ScrollInfo& info) {
  if (!widget_.isNull()) {
    widget_->SetScrollInfo(info);
  }
}

ScrollInfo DisplaySurfaceQt::GetScrollInfo() const {
  return widget_.isNull() ? ScrollInfo{} : widget_->GetScrollInfo();
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

bool DisplayPlatformQt::RegisterWindowClass(std::string_view class_name, Rgb background) {
  return classes_.emplace(std::string(class_name), background).second;
}

void DisplayPlatformQt::UnregisterWindowClass(std::string_view class_name) {
  const auto found = classes_.find(class_name);
  if (found != classes_.end()) {
    classes_.erase(found);
  }
}

std::unique_ptr<DisplaySurface> DisplayPlatformQt::CreateDisplayWindow(std::string_view class_name,
                                                                       std::string_view title,
                                                                       const PixelRect& outer,
                                                                       ParentWindow* parent,
                                                                       DisplayProcedure procedure) {
  const auto found = classes_.find(class_name);
  auto* parent_widget = dynamic_cast<QWidget*>(parent);
  if (found == classes_.end() || parent_widget == nullptr) {
    return nullptr;
  }
  auto* widget = new DisplayWidget(parent_widget, found->second, std::move(procedure));
  widget->setObjectName(FromView(class_name));
  widget->setWindowTitle(FromView(title));
  widget->setGeometry(outer.x, outer.y, outer.width, outer.height);
  return std::make_unique<DisplaySurfaceQt>(widget);
}
