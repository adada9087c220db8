#include "shell/message_box_qt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

struct SeenBox {
  QString title;
  QString text;
  bool had_owner = true;
  int buttons = 0;
};

// Answers the next modal message box by pressing its OK button.
SeenBox ShowAndAnswer(std::string_view text, std::string_view caption) {
  SeenBox seen;
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.had_owner = box->parentWidget() != nullptr;
    seen.buttons = static_cast<int>(box->buttons().size());
    box->button(QMessageBox::Ok)->click();
  });
  MessageBoxNotifier notifier;
  notifier.ShowMessage(text, caption);
  return seen;
}

TEST(MessageBoxNotifier, ShowsAModalBoxWithoutOwnerAndOneOkButton) {
  const SeenBox plain = ShowAndAnswer("No Data Is Loaded", "");
  EXPECT_EQ(plain.text, QStringLiteral("No Data Is Loaded"));
  EXPECT_EQ(plain.title, QStringLiteral("TAMBRIX"));
  EXPECT_FALSE(plain.had_owner);
  EXPECT_EQ(plain.buttons, 1);
  const SeenBox captioned = ShowAndAnswer("Failed To Analize Due To No Data Allocation", "ERROR");
  EXPECT_EQ(captioned.title, QStringLiteral("ERROR"));
}

}  // namespace
