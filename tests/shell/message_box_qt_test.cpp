#include "shell/message_box_qt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

TEST(MessageBoxNotifier, ShowsAModalBoxWithoutOwnerAndOneOkButton) {
  for (const auto& [caption, title] : {std::pair{"", "TAMBRIX"}, std::pair{"ERROR", "ERROR"}}) {
    QTimer::singleShot(0, [title = title] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle(), QString::fromLatin1(title));
      EXPECT_EQ(box->text(), QStringLiteral("No Data Is Loaded"));
      EXPECT_EQ(box->parentWidget(), nullptr);
      EXPECT_EQ(box->buttons().size(), 1);
      box->button(QMessageBox::Ok)->click();
    });
    MessageBoxNotifier().ShowMessage("No Data Is Loaded", caption);
  }
}

}  // namespace
