#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <regex>
#include <string>

#include "engine/live_analysis.h"
#include "support/run_analyze.h"
#include "support/test_support.h"

namespace {

using test::Bytes;
using test::RunAnalyze;
using test::RunResult;

// A random train whose first `quiet` shots peak at 240/15: once a full-scale
// shot arrives, the detector's bands widen and those shots go away.
Bytes RandomTrain(unsigned seed, std::uint32_t count, std::uint32_t quiet) {
  std::mt19937 random(seed);
  std::vector<std::uint32_t> starts;
  for (std::uint32_t at = 2000; at + 100 < count;
       at += std::uniform_int_distribution<std::uint32_t>(700, 4000)(random)) {
    starts.push_back(at);
  }
  Bytes samples = test::MakeShotTrain(count, starts);
  for (std::size_t i = 0; i < quiet && i < starts.size(); ++i) {
    for (std::uint32_t k = starts[i]; k < starts[i] + 60; ++k) {
      samples[k] = samples[k] == 255 ? 240 : 15;
    }
  }
  return samples;
}

// Little-endian 16-bit data whose negative values reach below −largest.
Bytes SixteenBitData(const Bytes& samples, int scale) {
  Bytes data;
  for (const std::uint8_t sample : samples) {
    test::Append(data, static_cast<std::uint16_t>((sample - 128) * scale), 2);
  }
  return data;
}

// The shot positions the live lines leave standing, corrections applied, or
// those of a report.
std::vector<std::string> ShotsOf(const std::string& out) {
  std::vector<std::string> shots;
  const std::regex line(
      R"re(\{"(shot|corrected_from)":(\d+)(,"position":(\d+))?|\{"position":(\d+))re");
  for (auto it = std::sregex_iterator(out.begin(), out.end(), line); it != std::sregex_iterator();
       ++it) {
    if ((*it)[2].matched) {
      shots.resize(std::stoul((*it)[2]) - 1);
    }
    if ((*it)[1] != "corrected_from") {
      shots.push_back((*it)[1].matched ? (*it)[4] : (*it)[5]);
    }
  }
  return shots;
}

// The last line live equals --json on the same bytes as a file, the shot lines
// end as its shot list, and the logs stay untouched.
TEST(LiveCli, FinalFiguresAreThoseOfTheSameBytesAsAFile) {
  const Bytes train = RandomTrain(1, 300000, 0);
  const Bytes late = RandomTrain(2, 300000, 60);
  // A filler chunk of odd length puts the data at an odd offset, so pipe
  // reads split 16-bit samples.
  const Bytes before_data = test::Join({test::List("INFO", {test::Chunk("ISFT", Bytes(7, 'x'))}),
                                        test::Chunk("FLLR", Bytes(7, 0), false)});
  const struct {
    const char* name;
    Bytes stream;
    Bytes file;  // when not the stream's bytes
    std::string arguments;
    std::string shell;
  } cases[] = {
      {"8-bit file", test::MakeWave8(22050, train), {}, "clip.wav", ""},
      {"16-bit, chunks before the data, late peak",
       test::MakeWave({.sample_rate = 48000, .bits_per_sample = 16}, SixteenBitData(late, 97),
                      before_data),
       {},
       "-",
       "cat stream |"},
      {"raw", train, test::MakeWave8(11025, train), "--raw-rate 11025 - < stream", ""},
      {"late peak, unknown size",
       test::MakeWave({.sample_rate = 22050, .data_size_override = 0xFFFFFFFF}, late),
       {},
       "-",
       "cat stream |"},
  };
  for (const auto& c : cases) {
    test::ScopedWorkDir dir;
    test::WriteBytes("stream", c.stream);
    test::WriteBytes("clip.wav", c.file.empty() ? c.stream : c.file);
    test::WriteBytes("-", c.file.empty() ? c.stream : c.file);
    const RunResult live = RunAnalyze("--live --json " + c.arguments, c.shell);
    EXPECT_EQ(live.status, 0) << c.name << live.err;
    EXPECT_FALSE(std::filesystem::exists("TAMBRIX.log") ||
                 std::filesystem::exists("TAMBRIX_crit.log"))
        << c.name;
    const std::string name = c.arguments.starts_with("clip") ? "clip.wav" : "-";
    const std::string file = RunAnalyze("--json " + name).out;
    const std::size_t final_line = live.out.rfind("{\"file\"");
    EXPECT_EQ(live.out.substr(final_line), file) << c.name;
    EXPECT_EQ(ShotsOf(live.out.substr(0, final_line)), ShotsOf(file)) << c.name;
    EXPECT_GT(ShotsOf(file).size(), 40U) << c.name;
  }
}

// Fed through a pipe in small pieces, each shot's line comes before the next
// piece is written: the CLI's lines always catch up with the analysis of the
// bytes so far, corrections included, while the input is still open.
TEST(LiveCli, ShotLinesArriveWhileTheStreamIsOpen) {
  test::ScopedWorkDir dir;
  const Bytes samples = RandomTrain(3, 120000, 15);
  int to_cli[2];
  int from_cli[2];
  ASSERT_EQ(::pipe(to_cli), 0);
  ASSERT_EQ(::pipe(from_cli), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(to_cli[0], STDIN_FILENO);
    ::dup2(from_cli[1], STDOUT_FILENO);
    ::close(to_cli[1]);
    ::close(from_cli[0]);
    ::execl(TAMBRIX_ANALYZE_PATH, "tambrix-analyze", "--live", "--json", "--raw-rate", "22050", "-",
            nullptr);
    ::_exit(127);
  }
  ::close(to_cli[0]);
  ::close(from_cli[1]);
  LiveAnalysis reference(22050, Detector::Classic);
  std::string out;
  constexpr std::size_t kPiece = 441;
  for (std::size_t at = 0; at < samples.size(); at += kPiece) {
    const std::size_t count = std::min(kPiece, samples.size() - at);
    ASSERT_EQ(::write(to_cli[1], samples.data() + at, count), static_cast<ssize_t>(count));
    FeedLiveAnalysis(reference, samples.data() + at, count);
    std::vector<std::string> expected;
    for (std::uint32_t i = 0; i < reference.engine.GetShotCount(); ++i) {
      expected.push_back(std::to_string(reference.engine.GetShot(i).position));
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ShotsOf(out) != expected && std::chrono::steady_clock::now() < deadline) {
      pollfd ready{from_cli[0], POLLIN, 0};
      std::array<char, 4096> buffer{};
      if (::poll(&ready, 1, 100) == 1) {
        const ssize_t got = ::read(from_cli[0], buffer.data(), buffer.size());
        out.append(buffer.data(), static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
      }
    }
    ASSERT_EQ(ShotsOf(out), expected) << "after " << at + count << " samples";
  }
  ::close(to_cli[1]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(from_cli[0]);
  EXPECT_NE(out.find("corrected_from"), std::string::npos);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(LiveCli, BadInputIsNamedWithAStatus) {
  const Bytes good = test::MakeWave8(22050, RandomTrain(4, 30000, 0));
  Bytes wrong_magic = good;
  wrong_magic[3] = 'X';
  Bytes odd = test::MakeWave({.bits_per_sample = 16, .data_size_override = 0}, Bytes(2001, 128));
  const struct {
    Bytes stream;
    std::string arguments;
    int status;
    std::string error;  // the end of stderr's first line
  } cases[] = {
      {Bytes(good.begin(), good.begin() + 40), "-", 1, "inside its WAVE header (40 bytes)"},
      {{}, "-", 1, "inside its WAVE header (0 bytes)"},
      {wrong_magic, "-", 1, "-: not a RIFF file"},
      {test::MakeWave({.sample_rate = 0}, Bytes(100, 128)), "-", 1,
       "a sample rate of 0 is not "
       "sound (1000 to 768000)"},
      {test::MakeWave({.channels = 2}, Bytes(100, 128)), "-", 1, "Single Channel *.wav Files"},
      {odd, "--json -", 1, "inside a 16-bit sample: its first byte was dropped"},
      {Bytes(good.begin(), good.end() - 10), "-", 1,
       "after 29990 of the 30000 data bytes its "
       "header gives"},
      {{}, "--raw-rate 8000 -", 1, "-: no samples"},
      {good, "--raw-rate -", 2, "samples per second from 1000 to 768000: -"},
      {good, "--raw-rate 0 -", 2, "samples per second from 1000 to 768000: 0"},
      {good, "--raw-rate 22k -", 2, "samples per second from 1000 to 768000: 22k"},
      {good, "--raw-rate", 2, "--raw-rate needs samples per second"},
      {good, "--detector robust -", 2, "--live works with the classic detector only"},
      {good, "- other.wav", 2, "--live reads one FILE, or - for standard input"},
      {good, "missing.wav", 1, "missing.wav: can't be opened: No such file or directory"},
  };
  for (const auto& c : cases) {
    test::ScopedWorkDir dir;
    test::WriteBytes("stream", c.stream);
    const RunResult run = RunAnalyze("--live " + c.arguments + " < stream");
    EXPECT_EQ(run.status, c.status) << c.arguments;
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')).ends_with(c.error), true) << run.err;
  }
  test::ScopedWorkDir dir;
  test::WriteBytes("stream", odd);
  EXPECT_NE(RunAnalyze("--live --json - < stream").out.find("\"sample_count\":1000,"),
            std::string::npos);
}

}  // namespace
