#include "shell/file_chooser_qt.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <array>
#include <filesystem>

#include "support/test_support.h"

namespace {

TEST(FileChooserQt, AsksForTheRequestedKindTitleAndFilter) {
  QFileDialog load;
  ConfigureFileDialog(load, kLoadChooser);
  EXPECT_EQ(load.windowTitle(), QStringLiteral("Select The wav File"));
  EXPECT_EQ(load.nameFilters(), QStringList{QStringLiteral("Sound - WAVE (.wav) (*.wav)")});
  EXPECT_TRUE(load.testOption(QFileDialog::HideNameFilterDetails));
  EXPECT_TRUE(load.testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_EQ(load.fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(load.acceptMode(), QFileDialog::AcceptOpen);

  QFileDialog save;
  ConfigureFileDialog(save, kSaveChooser);
  EXPECT_EQ(save.nameFilters(), QStringList{QStringLiteral("wav (*.wav)")});
  EXPECT_EQ(save.fileMode(), QFileDialog::AnyFile);
  EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(save.defaultSuffix().isEmpty());
}

// Reading a listed file can block for good (/proc/kmsg). A file without an
// extension is one whose type only its contents could tell.
TEST(FileChooserQt, ListsAFolderWithoutOpeningItsFiles) {
  test::ScopedWorkDir dir;
  test::WriteBytes("notes", {1, 2, 3});
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(inotify_add_watch(watch, dir.path().c_str(), IN_OPEN), 0);
  const QString path = QString::fromStdString(dir.path().string());
  QFileDialog dialog(nullptr, QString(), path);
  ConfigureFileDialog(dialog, kLoadChooser);
  QSignalSpy loaded(dialog.findChild<QFileSystemModel*>(), &QFileSystemModel::directoryLoaded);
  dialog.show();
  while (!loaded.contains({path}) && loaded.wait(10000)) {
  }
  ASSERT_TRUE(loaded.contains({path}));
  dialog.close();
  alignas(inotify_event) std::array<char, 4096> events{};
  const ssize_t size = ::read(watch, events.data(), events.size());
  ::close(watch);
  for (ssize_t at = 0; at < size;) {
    const auto* event = reinterpret_cast<const inotify_event*>(events.data() + at);
    EXPECT_EQ(event->len, 0U) << event->name;  // only the folder itself
    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
  }
}

// Types `name` into the chooser once it is open and presses Return. Whatever
// is still open afterwards (the chooser, or its warning about a missing file)
// is closed, which cancels the choice. Polling instead of a fixed delay keeps
// this independent of how busy the machine is; if the chooser never shows as
// the modal widget, every dialog is closed after a while so nothing hangs.
std::optional<std::string> ChooseTyping(FileChooserQt& chooser, const ChooserRequest& request,
                                        const QString& name) {
  constexpr int kPollMs = 50;
  constexpr int kGiveUpTicks = 200;
  bool typed = false;
  int ticks = 0;
  QTimer driver;
  driver.setInterval(kPollMs);
  QObject::connect(&driver, &QTimer::timeout, [&] {
    ++ticks;
    QWidget* open = QApplication::activeModalWidget();
    if (!typed) {
      if (auto* dialog = qobject_cast<QFileDialog*>(open)) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (edit != nullptr) {
          edit->setText(name);
          // Pressed from the event queue: a warning box opened by the press
          // runs its own loop, and this timer must go on firing meanwhile.
          QMetaObject::invokeMethod(
              edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); }, Qt::QueuedConnection);
          typed = true;
        }
      } else if (ticks > kGiveUpTicks) {
        ADD_FAILURE() << "the chooser never became the modal window";
        for (QWidget* widget : QApplication::topLevelWidgets()) {
          if (qobject_cast<QDialog*>(widget) != nullptr && widget->isVisible()) {
            widget->close();
          }
        }
      }
    } else if (open != nullptr) {
      open->close();
    }
  });
  driver.start();
  std::optional<std::string> chosen = chooser.Choose(request);
  driver.stop();
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
