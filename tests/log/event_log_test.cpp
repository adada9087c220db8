#include "log/event_log.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace {

// Each entry lands at the end of its own file, in the current directory,
// byte for byte; a batch gives the same bytes as its entries one by one.
TEST(EventLog, AppendsPrefixedLinesToTheTargetFileOnly) {
  test::ScopedWorkDir dir;
  test::WriteBytes("TAMBRIX.log", {'o', 'l', 'd', '\n'});
  WriteLogEntry(LogTarget::Routine, "first\n\tsecond %d");
  WriteLogEntry(LogTarget::Critical, "16 BITS PER SAMPLE");
  {
    LogBatch batch(LogTarget::Critical);
    batch.Add("Error-Negative Value");
    batch.Add("");
  }
  WriteLogEntry(LogTarget::Routine, "");
  EXPECT_EQ(test::ReadText("TAMBRIX.log"), "old\nData Time: first\n\tsecond %d\nData Time: \n");
  EXPECT_EQ(test::ReadText("TAMBRIX_crit.log"),
            "Data Time: 16 BITS PER SAMPLE\nData Time: Error-Negative Value\nData Time: \n");

  std::filesystem::create_directory("elsewhere");
  std::filesystem::current_path("elsewhere");
  WriteLogEntry(LogTarget::Routine, "here");
  EXPECT_EQ(test::ReadText("TAMBRIX.log"), "Data Time: here\n");
}

// A log that can't be opened loses its entries only; the other log is not
// affected, and the entries come back once the cause is gone. A directory in
// the way blocks the open even for root, where permissions would not.
TEST(EventLog, UnopenableLogLosesOnlyItsOwnEntries) {
  test::ScopedWorkDir dir;
  std::filesystem::create_directory("TAMBRIX_crit.log");
  WriteLogEntry(LogTarget::Critical, "lost");
  WriteFailureEntry("lost too");
  WriteLogEntry(LogTarget::Routine, "kept");
  std::filesystem::remove("TAMBRIX_crit.log");
  WriteLogEntry(LogTarget::Critical, "written again");
  EXPECT_EQ(test::ReadText("TAMBRIX.log"), "Data Time: kept\n");
  EXPECT_EQ(test::ReadText("TAMBRIX_crit.log"), "Data Time: written again\n");
  EXPECT_EQ(LastFailureEntry(), "lost too") << "remembered even when lost";
}

}  // namespace
