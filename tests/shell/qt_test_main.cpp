// main() of the Qt test program: one QApplication for all Qt tests (the
// platform comes from QT_QPA_PLATFORM, offscreen under CTest).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "shell/run_shell_qt.h"

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
  QApplication application(argc, argv);
  ConfigureApplication();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
