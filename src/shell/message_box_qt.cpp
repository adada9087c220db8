#include "shell/message_box_qt.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <cstdio>
#include <string>

namespace {

// The caption of a box that is given none.
constexpr const char* kDefaultCaption = "TAMBRIX";
// Room a window manager's title bar takes beside the caption: its icon,
// close button and margins.
constexpr int kCaptionRoom = 96;

void ConfigureMessageBox(QMessageBox& box) {
  // Only a close button: a box without an owner that is minimised is lost.
  box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowCloseButtonHint);
  // Wide enough for the caption in a title bar's bold face; a box as narrow
  // as a short text has its caption cut.
  QFont caption_font = box.font();
  caption_font.setBold(true);
  const int caption_width =
      QFontMetrics(caption_font).horizontalAdvance(box.windowTitle()) + kCaptionRoom;
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(caption_width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
}

}  // namespace

void MessageBoxNotifier::ShowMessage(std::string_view text, std::string_view caption) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    std::fprintf(stderr, "%s\n", std::string(text).c_str());
    return;
  }
  const QString title =
      caption.empty() ? QString::fromLatin1(kDefaultCaption)
                      : QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
  QMessageBox box(QMessageBox::NoIcon, title,
                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                  QMessageBox::Ok, nullptr);
  ConfigureMessageBox(box);
  box.exec();
}
