#include "shell/quit_signals_qt.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

namespace {

// The first signal only asks the loop to quit; with the loop blocked, the
// second must end the program by itself.
TEST(QuitSignalWatcherDeathTest, ASecondSignalEndsABlockedProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const int signal_number : {SIGINT, SIGTERM}) {
    EXPECT_EXIT(
        {
          const QuitSignalWatcher watcher([] {});
          std::raise(signal_number);
          std::raise(signal_number);
          ::sleep(5);  // the blocked loop
          std::_Exit(0);
        },
        testing::KilledBySignal(signal_number), "");
  }
}

}  // namespace
