#include "shell/file_chooser_qt.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QFileDialog>
#include <QFileSystemModel>
#include <QSignalSpy>
#include <array>

#include "support/test_support.h"

namespace {

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
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select The wav File"));
  EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("Sound - WAVE (.wav) (*.wav)")});
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

}  // namespace
