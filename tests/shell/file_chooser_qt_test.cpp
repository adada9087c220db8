#include "shell/file_chooser_qt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "support/test_support.h"

namespace {

TEST(FileChooserQt, AsksForTheRequestedKindTitleAndFilter) {
  QFileDialog load;
  ConfigureFileDialog(load, kLoadChooser);
  EXPECT_EQ(load.windowTitle(), QStringLiteral("Select The wav File"));
  EXPECT_EQ(load.nameFilters(), QStringList{QStringLiteral("Sound - WAVE (.wav) (*.wav)")});
  EXPECT_TRUE(load.testOption(QFileDialog::HideNameFilterDetails));
  EXPECT_EQ(load.fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(load.acceptMode(), QFileDialog::AcceptOpen);

  QFileDialog save;
  ConfigureFileDialog(save, kSaveChooser);
  EXPECT_EQ(save.nameFilters(), QStringList{QStringLiteral("wav (*.wav)")});
  EXPECT_EQ(save.fileMode(), QFileDialog::AnyFile);
  EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(save.defaultSuffix().isEmpty());
}

// Types `name` into the open chooser and presses Return. Whatever is still
// open afterwards (the chooser, or its warning about a missing file) is
// closed, which cancels the choice.
std::optional<std::string> ChooseTyping(FileChooserQt& chooser, const ChooserRequest& request,
                                        const QString& name) {
  QTimer::singleShot(100, [name] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
  });
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* open = QApplication::activeModalWidget()) {
      open->close();
    }
  });
  closer.start(300);
  std::optional<std::string> chosen = chooser.Choose(request);
  closer.stop();
  return chosen;
}

TEST(FileChooserQt, OpenTakesAnyExistingFileAndSaveANewNameAsTyped) {
  test::ScopedWorkDir dir;
  test::WriteBytes("clip.avi", {1, 2, 3});
  FileChooserQt chooser;
  const auto opened = ChooseTyping(chooser, kLoadChooser, QStringLiteral("clip.avi"));
  ASSERT_TRUE(opened.has_value());
  EXPECT_EQ(std::filesystem::path(*opened), dir.path() / "clip.avi");
  EXPECT_FALSE(ChooseTyping(chooser, kLoadChooser, QStringLiteral("missing.wav")).has_value());
  const auto saved = ChooseTyping(chooser, kSaveChooser, QStringLiteral("new-copy"));
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(std::filesystem::path(*saved), dir.path() / "new-copy");
}

}  // namespace
