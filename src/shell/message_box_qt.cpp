#include "shell/message_box_qt.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <string>

namespace {

// The caption of a box that is given none.
constexpr const char* kDefaultCaption = "TAMBRIX";

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
  box.exec();
}
