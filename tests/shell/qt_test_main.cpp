// One QApplication for all Qt tests, offscreen unless QT_QPA_PLATFORM says.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>
#include <cstdlib>

#include "shell/run_shell_qt.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  // Settings the tests change stay out of the user's.
  QStandardPaths::setTestModeEnabled(true);
  ConfigureApplication();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
