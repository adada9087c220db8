#include "log/event_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/test_support.h"

namespace {

TEST(EventLog, AppendsPrefixedLinesToTheTargetFileOnly) {
  test::ScopedWorkDir dir;
  WriteLogEntry(LogTarget::Routine, "TAMBRIX Started");
  WriteLogEntry(LogTarget::Critical, "16 BITS PER SAMPLE");
  WriteLogEntry(LogTarget::Routine, "TAMBRIX Started");
  WriteLogEntry(LogTarget::Routine, "");

  EXPECT_EQ(test::ReadText("TAMBRIX.log"),
            "Data Time: TAMBRIX Started\nData Time: TAMBRIX Started\nData Time: \n");
  EXPECT_EQ(test::ReadText("TAMBRIX_crit.log"), "Data Time: 16 BITS PER SAMPLE\n");
}

TEST(EventLog, KeepsExistingContentAndWritesMessagesByteForByte) {
  test::ScopedWorkDir dir;
  test::WriteBytes("TAMBRIX.log", {'o', 'l', 'd', '\n'});
  WriteLogEntry(LogTarget::Routine, "first\n\tsecond %d");
  EXPECT_EQ(test::ReadText("TAMBRIX.log"), "old\nData Time: first\n\tsecond %d\n");
}

// A log that can't be opened loses its entries only; the other log is not
// affected, and the entries come back once the cause is gone. A directory in
// the way blocks the open even for root, where permissions would not.
TEST(EventLog, UnopenableLogLosesOnlyItsOwnEntries) {
  test::ScopedWorkDir dir;
  std::filesystem::create_directory("TAMBRIX_crit.log");
  WriteLogEntry(LogTarget::Critical, "lost");
  WriteLogEntry(LogTarget::Routine, "kept");
  std::filesystem::remove("TAMBRIX_crit.log");
  WriteLogEntry(LogTarget::Critical, "written again");

  EXPECT_EQ(test::ReadText("TAMBRIX.log"), "Data Time: kept\n");
  EXPECT_EQ(test::ReadText("TAMBRIX_crit.log"), "Data Time: written again\n");
}

TEST(EventLog, ReadOnlyLogFileLosesEntriesUnlessRoot) {
  test::ScopedWorkDir dir;
  WriteLogEntry(LogTarget::Critical, "before");
  std::filesystem::permissions("TAMBRIX_crit.log", std::filesystem::perms::owner_read);
  WriteLogEntry(LogTarget::Critical, "while read-only");
  WriteLogEntry(LogTarget::Routine, "routine goes on");
  std::filesystem::permissions(
      "TAMBRIX_crit.log", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  WriteLogEntry(LogTarget::Critical, "after");

  const std::string expected_when_blocked = "Data Time: before\nData Time: after\n";
  const std::string expected_as_root =
      "Data Time: before\nData Time: while read-only\nData Time: after\n";
  EXPECT_EQ(test::ReadText("TAMBRIX_crit.log"),
            ::geteuid() == 0 ? expected_as_root : expected_when_blocked);
  EXPECT_EQ(test::ReadText("TAMBRIX.log"), "Data Time: routine goes on\n");
}

TEST(EventLog, FollowsTheCurrentDirectory) {
  test::ScopedWorkDir dir;
  std::filesystem::create_directory("elsewhere");
  std::filesystem::current_path("elsewhere");
  WriteLogEntry(LogTarget::Routine, "here");
  std::filesystem::current_path(dir.path());
  EXPECT_FALSE(std::filesystem::exists("TAMBRIX.log"));
  EXPECT_EQ(test::ReadText("elsewhere/TAMBRIX.log"), "Data Time: here\n");
}

}  // namespace
