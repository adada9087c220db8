// Entry of the Qt test program: one QApplication for the whole run, then
// every test. Weak, so that an entry defined by another test file of the
// program takes its place without a clash.

#include <gtest/gtest.h>

#include <QApplication>

__attribute__((weak)) int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
