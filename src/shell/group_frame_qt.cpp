#include "shell/group_frame_qt.h"

#include <qdrawutil.h>

#include <QPainter>
#include <QStyle>

namespace {

// Where the title starts, and the gap it cuts into the line either side.
constexpr int kTitleIndent = 6;
constexpr int kTitleGap = 2;

}  // namespace

GroupFrame::GroupFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

int GroupFrame::FrameTop() const { return fontMetrics().height() / 2; }

void GroupFrame::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  qDrawShadeRect(&painter, rect().adjusted(0, FrameTop(), 0, 0), palette(), true);
  const QRect title_area(kTitleIndent, 0, fontMetrics().horizontalAdvance(title()) + 2 * kTitleGap,
                         fontMetrics().height());
  painter.fillRect(title_area, palette().window());
  style()->drawItemText(&painter, title_area, Qt::AlignCenter, palette(), isEnabled(), title(),
                        QPalette::WindowText);
}
