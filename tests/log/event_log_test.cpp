#include "log/event_log.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace {

// Each entry lands at the end of its own file, in the current directory,
// byte for byte; a batch gives the same bytes as its entries one by one. A
// log that can't be opened (a directory in the way, even for root) loses
// its entries only, and they come back once the cause is gone.
TEST(EventLog, AppendsPrefixedLinesToTheTargetFileOnly) {
  test::ScopedWorkDir dir;
  test::WriteBytes("TAMBRIX.log", {'o', 'l', 'd', '\n'});
  std::filesystem::create_directory("TAMBRIX_crit.log");
  WriteFailureEntry("lost");
  std::filesystem::remove("TAMBRIX_crit.log");
  WriteLogEntry(LogTarget::Routine, "first\n\tsecond %d");
  WriteLogEntry(LogTarget::Critical, "16 BITS PER SAMPLE");
  {
    LogBatch batch(LogTarget::Critical);
    batch.Add("Error-Negative Value");
    batch.Add("");
  }
  EXPECT_EQ(test::ReadText("TAMBRIX.log"), "old\nData Time: first\n\tsecond %d\n");
  EXPECT_EQ(test::ReadText("TAMBRIX_crit.log"),
            "Data Time: 16 BITS PER SAMPLE\nData Time: Error-Negative Value\nData Time: \n");
  EXPECT_EQ(LastFailureEntry(), "lost") << "remembered even when lost";
  std::filesystem::create_directory("elsewhere");
  std::filesystem::current_path("elsewhere");
  WriteLogEntry(LogTarget::Routine, "here");
  EXPECT_EQ(test::ReadText("TAMBRIX.log"), "Data Time: here\n");
}

}  // namespace
