#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>

#include "support/riff_bytes.h"
#include "engine/clip_files.h"
#include "engine/sound_engine.h"
#include "support/test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the analyser in the current directory, stderr to a file; `shell`
// comes first (limits, another user).
RunResult RunAnalyze(const std::string& arguments, const std::string& shell = "") {
  const std::string command =
      shell + " '" + TAMBRIX_ANALYZE_PATH + "' " + arguments + " 2>stderr.txt";
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
  test::WriteBytes(
      "odd.wav", test::MakeWave8(22050, test::MakeShotTrain(132300, {22050, 23520, 25284, 27354})));
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

// Each file that gives no clip makes the status 1 and is named on stderr
// with the failure it logged last, without holding up the others.
TEST(AnalyzeCli, FilesWithoutAClipAreNamedWithTheirReason) {
  test::ScopedWorkDir dir;
  const std::string text = "not a sound";
  test::WriteBytes("good.wav", WorkedExampleWave());
  test::WriteBytes("empty.wav", test::MakeWave8(22050, {}));
  test::WriteBytes("text.wav", Bytes(text.begin(), text.end()));
  test::WriteBytes("video.avi", avi_test::MakeAvi({avi_test::Video()}, {}));
  const RunResult run = RunAnalyze("--json missing.wav empty.wav good.wav text.wav video.avi");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "tambrix-analyze: missing.wav: Failed To Find .wav File\n"
            "tambrix-analyze: empty.wav: no samples\n"
            "tambrix-analyze: text.wav: not a RIFF file\n"
            "tambrix-analyze: video.avi: FOUND LAST STREAM\n");
  const std::string first = run.out.substr(0, run.out.find('\n'));
  EXPECT_EQ(JsonValue(first, "has_data"), "false");
  EXPECT_EQ(JsonValue(first, "clip_quality"), "100");
  EXPECT_NE(run.out.find("\"file\":\"good.wav\",\"has_data\":true"), std::string::npos);
}

// Where "tmp" can't be written, an AVI gives no figures, never those of an
// older "tmp": a directory the user may not write to, and a full disk.
TEST(AnalyzeCli, AviWhoseSoundCantBeWrittenGivesNoFigures) {
  const Bytes a_sound = test::MakeShotTrain(22050 * 3, {22050, 23520, 24990});
  const Bytes b_sound(22050 * 6, 128);
  const bool root = ::geteuid() == 0;
  const std::pair<const char*, std::string> surroundings[] = {
      {"read-only directory", root ? "runuser -u nobody --" : ""},
      {"full disk", "trap '' XFSZ; ulimit -f 128;"},
  };
  for (const auto& [name, shell] : surroundings) {
    SCOPED_TRACE(name);
    test::ScopedWorkDir dir;
    test::WriteBytes("a.avi", avi_test::AudioOnlyAvi(avi_test::PcmFormat(1, 22050, 8), a_sound));
    test::WriteBytes("b.avi", avi_test::AudioOnlyAvi(avi_test::PcmFormat(1, 22050, 8), b_sound));
    ASSERT_EQ(RunAnalyze("a.avi").status, 0);
    if (std::string(name) == "read-only directory") {
      std::filesystem::permissions(
          ".", std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                   std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                   std::filesystem::perms::others_exec);
      if (!root) {
        std::filesystem::permissions(".", std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
      }
    }
    const RunResult run = RunAnalyze("--json b.avi", shell);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(JsonValue(run.out, "has_data"), "false");
    EXPECT_EQ(run.err, "tambrix-analyze: b.avi: Failed To Write Sound File\n");
    std::filesystem::permissions(".", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(22050, a_sound)) << "left as it was";
  }
}

// Analysers working in one directory at once each get their own file's
// figures, never another's or those of a half-written "tmp".
TEST(AnalyzeCli, ParallelAnalysersEachGetTheirOwnFigures) {
  test::ScopedWorkDir dir;
  const std::vector<std::uint32_t> starts = {2000, 3470, 4940, 6410};
  test::WriteBytes("a.avi", avi_test::AudioOnlyAvi(avi_test::PcmFormat(1, 22050, 8),
                                                   test::MakeShotTrain(22050 * 2, starts)));
  test::WriteBytes("b.avi", avi_test::AudioOnlyAvi(avi_test::PcmFormat(1, 22050, 8),
                                                   test::MakeShotTrain(22050 * 3, {2000, 4000})));
  const std::string files = "a.avi b.avi a.avi b.avi a.avi b.avi a.avi b.avi a.avi";
  const std::string command = "for i in 1 2 3 4 5 6 7 8; do '" + std::string(TAMBRIX_ANALYZE_PATH) +
                              "' --json " + files + " >out$i.txt 2>&1 & done; wait";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (int i = 1; i <= 8; ++i) {
    std::istringstream out(test::ReadText("out" + std::to_string(i) + ".txt"));
    std::string line;
    int loads = 0;
    while (std::getline(out, line)) {
      const bool is_a = JsonValue(line, "file") == "\"a.avi\"";
      EXPECT_EQ(JsonValue(line, "sample_count"), is_a ? "44100" : "66150") << line;
      EXPECT_EQ(JsonValue(line, "number_of_shots"), is_a ? "4" : "2") << line;
      ++loads;
    }
    EXPECT_EQ(loads, 9);
  }
}

// Memory running out during a load fails that load instead of aborting: a
// clip whose every sample opens a shot needs a shot list eight times its size.
TEST(AnalyzeCli, MemoryRunningOutFailsTheLoad) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
  test::ScopedWorkDir dir;
  Bytes noise(std::size_t{16} << 20);
  for (std::size_t i = 0; i < noise.size(); ++i) {
    noise[i] = i % 2 == 0 ? 137 : 100;
  }
  test::WriteBytes("noise.wav", test::MakeWave8(22050, noise));
  const RunResult run = RunAnalyze("noise.wav", "ulimit -v 100000;");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tambrix-analyze: noise.wav: Failed To Allocate Clip Memory\n");
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
