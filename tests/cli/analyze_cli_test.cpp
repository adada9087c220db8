#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <regex>
#include <sstream>
#include <string>

#include "engine/clip_files.h"
#include "engine/shot_table.h"
#include "engine/shot_table_csv.h"
#include "engine/sound_engine.h"
#include "support/run_analyze.h"
#include "support/test_support.h"
#include "tambrix_version.h"

namespace {

using test::Bytes;
using test::JsonValue;
using test::MakeShotTrain;
using test::MakeWave8;
using test::RunAnalyze;
using test::RunResult;
using test::WriteBytes;

Bytes EightBitAvi(const Bytes& sound) {
  return avi_test::AudioOnlyAvi(test::PcmFormat(1, 22050, 8), sound);
}

// The worked example: five bursts at 22050 Hz, the fourth too close. Floats
// have nine digits, so they read back as the engine's own 32-bit values.
TEST(AnalyzeCli, JsonOfTheWorkedExample) {
  test::ScopedWorkDir dir;
  WriteBytes("burst.wav",
             MakeWave8(22050, MakeShotTrain(132300, {22050, 23520, 25284, 25884, 27354})));
  const RunResult run = RunAnalyze("--json burst.wav");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "{\"file\":\"burst.wav\",\"has_data\":true,\"sample_rate\":22050,"
            "\"sample_count\":132300,\"clip_length\":6,\"clip_quality\":0,\"peak_sample\":255,"
            "\"number_of_shots\":4,\"shot_list_count\":5,\"highest_rof\":15,\"lowest_rof\":12.5,"
            "\"average_rof\":13.75,\"unit\":\"bps\",\"detector\":\"classic\",\"readouts\":{"
            "\"average_rof\":\"13.750000\","
            "\"highest_rof\":\"15.000000\",\"lowest_rof\":\"12.500000\",\"number_of_shots\":\"4\","
            "\"clip_length\":\"6\",\"clip_quality\":\"0\"},\"shots\":["
            "{\"position\":22008,\"number\":0,\"rate_to_next\":15,\"split_ms\":66.6666641,"
            "\"accepted\":true},"
            "{\"position\":23478,\"number\":1,\"rate_to_next\":12.5,\"split_ms\":80,"
            "\"accepted\":true},"
            "{\"position\":25242,\"number\":2,\"rate_to_next\":36.75,\"split_ms\":27.2108841,"
            "\"accepted\":false},"
            "{\"position\":25842,\"number\":3,\"rate_to_next\":15,\"split_ms\":66.6666641,"
            "\"accepted\":true},"
            "{\"position\":27312,\"number\":4}]}\n");

  WriteBytes("odd.wav", MakeWave8(22050, MakeShotTrain(132300, {22050, 23520, 25284, 27354})));
  const RunResult odd = RunAnalyze("--json --ms odd.wav");
  SoundEngine engine(nullptr, nullptr);
  LoadClip(engine, "odd.wav");
  const float read_back = std::strtof(JsonValue(odd.out, "average_rof").c_str(), nullptr);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(read_back),
            std::bit_cast<std::uint32_t>(engine.GetAverageRof()));
  EXPECT_EQ(JsonValue(odd.out, "lowest_rof"), "10.652174");
  EXPECT_EQ(JsonValue(odd.out, "unit"), "\"ms\"");
  EXPECT_EQ(RunAnalyze("--csv burst.wav").out,
            "# file: burst.wav\n# detector: classic\n# average_rof: 13.750000\n"
            "# highest_rof: 15.000000\n# lowest_rof: 12.500000\n# number_of_shots: 4\n"
            "# clip_length: 6\n# clip_quality: 0\n"
            "shot,time_s,position,split_ms,rate_bps,counts\n"
            "1,0.998095,22008,66.6666641,15,yes\n2,1.064762,23478,80,12.5,yes\n"
            "3,1.144762,25242,27.2108841,36.75,no\n4,1.171973,25842,66.6666641,15,yes\n"
            "5,1.238639,27312,,,\n");
  EXPECT_EQ(RunAnalyze("--csv --json burst.wav").status, 2);
}

// The shot table, its CSV read back and the JSON report agree number for
// number on a long random train.
TEST(AnalyzeCli, CsvReadsBackAsTheTableAndTheJson) {
  test::ScopedWorkDir dir;
  std::mt19937 random(7);
  std::vector<std::uint32_t> starts;
  for (std::uint32_t at = 1000; at < 400000;
       at += std::uniform_int_distribution<std::uint32_t>(500, 3000)(random)) {
    starts.push_back(at);
  }
  WriteBytes("train.wav", MakeWave8(22050, MakeShotTrain(401000, starts)));
  SoundEngine engine(nullptr, nullptr);
  LoadClip(engine, "train.wav");
  const std::vector<ShotRow> rows = ShotTableRows(engine);
  ASSERT_GT(rows.size(), 200U);
  std::istringstream csv(RunAnalyze("--csv train.wav").out);
  const std::string json = RunAnalyze("--json train.wav").out;
  std::string line;
  while (std::getline(csv, line) && line.starts_with("#")) {
  }
  ASSERT_EQ(line, kShotCsvHeader);
  const std::regex shot_json(
      "\\{\"position\":(\\d+),\"number\":\\d+(,\"rate_to_next\":([^,]+),"
      "\"split_ms\":([^,]+),\"accepted\":(true|false))?\\}");
  auto json_shot = std::sregex_iterator(json.begin(), json.end(), shot_json);
  for (const ShotRow& row : rows) {
    ASSERT_TRUE(std::getline(csv, line));
    std::istringstream fields(line);
    std::array<std::string, 6> field;
    for (std::string& f : field) {
      std::getline(fields, f, ',');
    }
    const std::smatch js = *json_shot;
    ++json_shot;
    EXPECT_EQ(std::stoul(field[0]), row.number);
    EXPECT_NEAR(std::stod(field[1]), row.time_s, 5e-7);
    EXPECT_EQ(field[2], std::to_string(row.position));
    EXPECT_EQ(js[1].str(), field[2]);
    const std::string counts = row.has_next ? (row.counts ? "yes" : "no") : "";
    EXPECT_EQ(field[5], counts);
    EXPECT_EQ(js[5].str(), row.has_next ? (row.counts ? "true" : "false") : "");
    if (row.has_next) {
      for (const auto& [text, value] : {std::pair{field[3], row.split_ms},
                                        {js[4].str(), row.split_ms},
                                        {field[4], row.rate_bps},
                                        {js[3].str(), row.rate_bps}}) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(std::strtof(text.c_str(), nullptr)),
                  std::bit_cast<std::uint32_t>(value))
            << text;
      }
    }
  }
  EXPECT_FALSE(std::getline(csv, line));
}

TEST(AnalyzeCli, TextReportUsageAndEscapedNames) {
  test::ScopedWorkDir dir;
  WriteBytes("two.wav", MakeWave8(22050, MakeShotTrain(40000, {22050, 22786})));
  EXPECT_NE(RunAnalyze("--shots two.wav").out.find("     1      22008      0.998         33.379"),
            std::string::npos);
  // At exactly 30 BPS an interval does not count.
  WriteBytes("30.wav", MakeWave8(22050, MakeShotTrain(40000, {22050, 22785})));
  EXPECT_NE(RunAnalyze("--shots 30.wav").out.find("33.333      30.000  no"), std::string::npos);
  EXPECT_NE(RunAnalyze("--detector robust two.wav").out.find("Detector         robust"),
            std::string::npos);
  EXPECT_EQ(RunAnalyze("--detector fast two.wav").status, 2);
  EXPECT_EQ(RunAnalyze("").status, 2);
  EXPECT_EQ(RunAnalyze("--version").out, std::string("tambrix-analyze ") + kTambrixVersion + "\n");
  const RunResult unknown = RunAnalyze("--bogus two.wav");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown option: --bogus"), std::string::npos);
  // Paths are bytes: quotes, controls and invalid UTF-8 stay valid JSON.
  const std::string name = "q\"\\\x01\xff.wav";
  std::filesystem::rename("two.wav", name);
  ::setenv("TAMBRIX_TEST_FILE", name.c_str(), 1);
  EXPECT_NE(RunAnalyze("--json \"$TAMBRIX_TEST_FILE\"")
                .out.find("{\"file\":\"q\\\"\\\\\\u0001\xEF\xBF\xBD.wav\","),
            std::string::npos);
}

// Each file that gives no clip makes the status 1 and is named on stderr
// with the failure it logged last, without holding up the others.
TEST(AnalyzeCli, FilesWithoutAClipAreNamedWithTheirReason) {
  test::ScopedWorkDir dir;
  WriteBytes("good.wav", MakeWave8(22050, MakeShotTrain(40000, {22050})));
  WriteBytes("empty.wav", MakeWave8(22050, {}));
  WriteBytes("text.wav", Bytes(30, 'x'));
  WriteBytes("video.avi", avi_test::MakeAvi({avi_test::Video()}, {}));
  const RunResult run = RunAnalyze("--json missing.wav empty.wav good.wav text.wav video.avi");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "tambrix-analyze: missing.wav: Failed To Find .wav File\n"
            "tambrix-analyze: empty.wav: no samples\n"
            "tambrix-analyze: text.wav: not a RIFF file\n"
            "tambrix-analyze: video.avi: FOUND LAST STREAM\n");
  EXPECT_EQ(JsonValue(run.out, "has_data"), "false");
  EXPECT_NE(run.out.find("\"file\":\"good.wav\",\"has_data\":true"), std::string::npos);
}

// Where "tmp" can't be written, an AVI gives no figures, never those of an
// older "tmp": a directory the user may not write to, and a full disk.
TEST(AnalyzeCli, AviWhoseSoundCantBeWrittenGivesNoFigures) {
  const Bytes a_sound = MakeShotTrain(22050 * 3, {22050, 23520, 24990});
  const bool root = ::geteuid() == 0;
  for (const std::string shell :
       {root ? "runuser -u nobody --" : "", "trap '' XFSZ; ulimit -f 128;"}) {
    test::ScopedWorkDir dir;
    WriteBytes("a.avi", EightBitAvi(a_sound));
    WriteBytes("b.avi", EightBitAvi(Bytes(22050 * 6, 128)));
    ASSERT_EQ(RunAnalyze("a.avi").status, 0);
    namespace fs = std::filesystem;
    if (shell.find("ulimit") == std::string::npos) {
      fs::permissions(".",
                      fs::perms::group_write | fs::perms::others_write |
                          (root ? fs::perms::none : fs::perms::owner_write),
                      fs::perm_options::remove);
    }
    const RunResult run = RunAnalyze("b.avi", shell);
    fs::permissions(".", fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(run.status, 1) << shell;
    EXPECT_EQ(run.err, "tambrix-analyze: b.avi: Failed To Write Sound File\n");
    EXPECT_EQ(test::ReadBytes("tmp"), MakeWave8(22050, a_sound)) << "left as it was";
  }
}

// Memory running out during a load fails that load instead of aborting: a
// clip whose every sample opens a shot needs a shot list eight times its size.
TEST(AnalyzeCli, MemoryRunningOutFailsTheLoad) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
  test::ScopedWorkDir dir;
  Bytes noise(std::size_t{16} << 20, 100);
  for (std::size_t i = 0; i < noise.size(); i += 2) {
    noise[i] = 137;
  }
  WriteBytes("noise.wav", MakeWave8(22050, noise));
  const RunResult run = RunAnalyze("noise.wav", "ulimit -v 250000;");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tambrix-analyze: noise.wav: Failed To Allocate Clip Memory\n");
}

}  // namespace
