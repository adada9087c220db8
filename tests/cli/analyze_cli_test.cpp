#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

#include "engine/clip_files.h"
#include "engine/sound_engine.h"
#include "support/test_support.h"

namespace {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the analyser in the current directory, stderr to a file.
RunResult RunAnalyze(const std::string& arguments) {
  const std::string command =
      std::string("'") + TAMBRIX_ANALYZE_PATH + "' " + arguments + " 2>stderr.txt";
  RunResult result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return result;
  }
  std::array<char, 4096> buffer{};
  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    result.out.append(buffer.data(), got);
  }
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = test::ReadText("stderr.txt");
  return result;
}

std::string JsonValue(const std::string& json, const std::string& key) {
  const std::regex pattern("\"" + key + "\":(\"[^\"]*\"|[^,}\\]]+)");
  std::smatch match;
  return std::regex_search(json, match, pattern) ? match[1].str() : std::string("<missing>");
}

// The worked example: five bursts at 22050 Hz, the fourth too close.
std::vector<std::uint8_t> WorkedExampleWave() {
  return test::MakeWave8(22050, test::MakeShotTrain(132300, {22050, 23520, 25284, 25884, 27354}));
}

TEST(AnalyzeCli, UsageAndExitStatus) {
  test::ScopedWorkDir dir;
  const RunResult help = RunAnalyze("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: tambrix-analyze [--json] [--ms] [--shots] FILE..."),
            std::string::npos);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);

  EXPECT_EQ(RunAnalyze("").status, 2);
  const RunResult unknown = RunAnalyze("--bogus a.wav");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown option: --bogus"), std::string::npos);
  EXPECT_TRUE(unknown.out.empty());
}

TEST(AnalyzeCli, JsonOfTheWorkedExample) {
  test::ScopedWorkDir dir;
  test::WriteBytes("burst.wav", WorkedExampleWave());
  const RunResult run = RunAnalyze("--json burst.wav");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "{\"file\":\"burst.wav\",\"has_data\":true,\"sample_rate\":22050,"
            "\"sample_count\":132300,\"clip_length\":6,\"clip_quality\":0,\"peak_sample\":255,"
            "\"number_of_shots\":4,\"shot_list_count\":5,\"highest_rof\":15,\"lowest_rof\":12.5,"
            "\"average_rof\":13.75,\"unit\":\"bps\",\"readouts\":{\"average_rof\":\"13.750000\","
            "\"highest_rof\":\"15.000000\",\"lowest_rof\":\"12.500000\",\"number_of_shots\":\"4\","
            "\"clip_length\":\"6\",\"clip_quality\":\"0\"},\"shots\":["
            "{\"position\":22008,\"number\":0,\"rate_to_next\":15,\"accepted\":true},"
            "{\"position\":23478,\"number\":1,\"rate_to_next\":12.5,\"accepted\":true},"
            "{\"position\":25242,\"number\":2,\"rate_to_next\":36.75,\"accepted\":false},"
            "{\"position\":25842,\"number\":3,\"rate_to_next\":15,\"accepted\":true},"
            "{\"position\":27312,\"number\":4}]}\n");
  // The load went through the same road as the program's: same log line.
  EXPECT_EQ(test::RoutineLogLines().front(), "Loading file - wave");
}

TEST(AnalyzeCli, FloatsReadBackAsTheEnginesValues) {
  test::ScopedWorkDir dir;
  // Without the fourth burst the rates are not short decimals.
  test::WriteBytes("odd.wav", test::MakeWave8(22050, test::MakeShotTrain(132300, {22050, 23520, 25284, 27354})));
  const RunResult run = RunAnalyze("--json odd.wav");
  ASSERT_EQ(run.status, 0) << run.err;

  SoundEngine engine(nullptr, nullptr);
  LoadClip(engine, "odd.wav");
  ASSERT_TRUE(engine.HasData());
  const auto read_back = [&](const char* key) {
    return std::bit_cast<std::uint32_t>(std::strtof(JsonValue(run.out, key).c_str(), nullptr));
  };
  EXPECT_EQ(read_back("highest_rof"), std::bit_cast<std::uint32_t>(engine.GetHighestRof()));
  EXPECT_EQ(read_back("lowest_rof"), std::bit_cast<std::uint32_t>(engine.GetLowestRof()));
  EXPECT_EQ(read_back("average_rof"), std::bit_cast<std::uint32_t>(engine.GetAverageRof()));
  EXPECT_EQ(JsonValue(run.out, "lowest_rof"), "10.652174");
}

TEST(AnalyzeCli, TextReportInMillisecondsWithShots) {
  test::ScopedWorkDir dir;
  test::WriteBytes("burst.wav", WorkedExampleWave());
  const RunResult run = RunAnalyze("--ms --shots burst.wav");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "burst.wav\n"
            "  Average ROF      72.727273 ms\n"
            "  Highest ROF      66.666667 ms\n"
            "  Lowest ROF       80.000000 ms\n"
            "  Number Of Shots  4 During Clip\n"
            "  Clip Length      6 Seconds\n"
            "  Clip Quality     0\n"
            "  Shot   Position   Time (s)  Interval (ms)  Rate (bps)  Accepted\n"
            "     1      22008      0.998         66.667      15.000  yes\n"
            "     2      23478      1.065         80.000      12.500  yes\n"
            "     3      25242      1.145         27.211      36.750  no\n"
            "     4      25842      1.172         66.667      15.000  yes\n"
            "     5      27312      1.239              -           -  -\n");
}

TEST(AnalyzeCli, FileWithoutAClipMakesTheStatusOneAndIsReported) {
  test::ScopedWorkDir dir;
  test::WriteBytes("good.wav", WorkedExampleWave());
  const RunResult run = RunAnalyze("--json missing.wav good.wav");
  EXPECT_EQ(run.status, 1);
  const auto newline = run.out.find('\n');
  ASSERT_NE(newline, std::string::npos);
  const std::string first = run.out.substr(0, newline);
  const std::string second = run.out.substr(newline + 1);
  EXPECT_EQ(JsonValue(first, "has_data"), "false");
  EXPECT_EQ(JsonValue(first, "clip_quality"), "100");
  EXPECT_EQ(JsonValue(second, "has_data"), "true");
  EXPECT_EQ(run.err, "tambrix-analyze: missing.wav: Failed To Find .wav File\n");
  EXPECT_EQ(test::CriticalLogLines().front(), "Failed To Find .wav File");
}

TEST(AnalyzeCli, FileNamesAreEscapedInJson) {
  test::ScopedWorkDir dir;
  const std::string name = "q\"\\\x01\xff.wav";
  test::WriteBytes(name, WorkedExampleWave());
  ::setenv("TAMBRIX_TEST_FILE", name.c_str(), 1);
  const RunResult run = RunAnalyze("--json \"$TAMBRIX_TEST_FILE\"");
  EXPECT_EQ(JsonValue(run.out, "file").substr(0, 4), "\"q\\\"");
  EXPECT_NE(run.out.find("\\\\\\u0001\xEF\xBF\xBD.wav\""), std::string::npos) << run.out;
}

}  // namespace
