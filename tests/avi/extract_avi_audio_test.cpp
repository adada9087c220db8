#include "avi/extract_avi_audio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "avi/avi_writer.h"
#include "support/test_support.h"

namespace {

using avi_test::Audio;
using avi_test::Bytes;
using avi_test::DataChunk;
using avi_test::ExpectedWave;
using avi_test::MakeAvi;
using avi_test::Pattern;
using avi_test::PcmFormat;
using avi_test::Video;
using Lines = std::vector<std::string>;

constexpr const char* kAviName = "clip.avi";
constexpr const char* kWaveName = "tmp";

Lines CleanLog(const std::string& format_line, const std::string& bits_line, int samples,
               int bytes) {
  Lines lines = {"Starting Writing AVI File", "Writing AVI File",        "Getting AVI Stream",
                 "SEARCHING FOR STREAM",      "Getting Format AVI File", format_line,
                 "Reading AVI File"};
  if (!bits_line.empty()) {
    lines.push_back(bits_line);
  }
  const Lines tail = {"Reading Stream Length",
                      std::to_string(samples) + " STREAM SIZE",
                      std::to_string(bytes) + " STREAM LENGTH",
                      "Reading Stream",
                      "Writing Stream",
                      "Wrote Sound File",
                      "DeAllocated Sound Buffer",
                      "Release Sound Stream",
                      "Release Sound File",
                      "Exit Sound File"};
  lines.insert(lines.end(), tail.begin(), tail.end());
  return lines;
}

WaveFormat Format(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  WaveFormat format;
  format.channels = channels;
  format.sample_rate = rate;
  format.bits_per_sample = bits;
  format.block_align = static_cast<std::uint16_t>(channels * bits / 8);
  return format;
}

bool Extract(const Bytes& avi) {
  test::WriteBytes(kAviName, avi);
  return ExtractAviAudio(kAviName, kWaveName);
}

TEST(ExtractAviAudio, CopiesTheStreamExactlyWithEighteenLogLines) {
  test::ScopedWorkDir dir;
  const Bytes data = Pattern(22051);  // odd: no pad byte in "tmp"
  ASSERT_TRUE(Extract(avi_test::AudioOnlyAvi(PcmFormat(1, 22050, 8), data, 22051)));

  const Lines log = test::CriticalLogLines();
  EXPECT_EQ(log, CleanLog("PCMWAVEFORMAT", "8 BITS PER SAMPLE", 22051, 22051));
  EXPECT_EQ(log.size(), 18U);
  const Bytes wave = test::ReadBytes(kWaveName);
  EXPECT_EQ(wave, ExpectedWave(EightBitMono(22050), data));
  ASSERT_EQ(wave.size(), 44U + 22051U);
  EXPECT_EQ(wave[4] | (wave[5] << 8) | (wave[6] << 16), 22051 + 36);
  EXPECT_TRUE(test::RoutineLogLines().empty());
}

TEST(ExtractAviAudio, LogsTheFormatRecordBySize) {
  test::ScopedWorkDir dir;
  const Bytes data = Pattern(400);
  struct Case {
    std::size_t size;
    Lines lines;  // in place of the format line
    std::string bits_line;
  };
  const std::vector<Case> cases = {
      {16, {"PCMWAVEFORMAT"}, "16 BITS PER SAMPLE"},
      {14, {"WAVEFORMAT"}, ""},  // no wBitsPerSample field to read
      {18, {"WAVEFORMATEX"}, "16 BITS PER SAMPLE"},
      {50, {"FORMAT IS INVALID", "THE SIZE OF THE FORMAT IS:50"}, "16 BITS PER SAMPLE"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove("TAMBRIX_crit.log");
    Extract(avi_test::AudioOnlyAvi(PcmFormat(1, 22050, 16, c.size), data));
    Lines expected = CleanLog("", c.bits_line, 200, 400);
    expected.erase(expected.begin() + 5);
    expected.insert(expected.begin() + 5, c.lines.begin(), c.lines.end());
    EXPECT_EQ(test::CriticalLogLines(), expected) << c.size;
    EXPECT_EQ(test::ReadBytes(kWaveName), ExpectedWave(Format(1, 22050, 16), data)) << c.size;
  }
}

// The header carries a PCM stream's own format so that the WAVE reader times
// it right; the bytes are copied unchanged whatever the format.
TEST(ExtractAviAudio, HeaderCarriesThePcmStreamsOwnFormat) {
  test::ScopedWorkDir dir;
  const Bytes data = Pattern(4800);

  Extract(avi_test::AudioOnlyAvi(PcmFormat(2, 44100, 16), data));
  EXPECT_EQ(test::ReadBytes(kWaveName), ExpectedWave(Format(2, 44100, 16), data));

  // WAVEFORMAT has no bits field: 4-byte blocks of 2 channels are 16 bits.
  Extract(avi_test::AudioOnlyAvi(PcmFormat(2, 48000, 16, 14), data));
  EXPECT_EQ(test::ReadBytes(kWaveName), ExpectedWave(Format(2, 48000, 16), data));

  // 24-bit PCM is labelled as such; the WAVE reader then refuses it rather
  // than reading three samples out of each one.
  std::filesystem::remove("TAMBRIX_crit.log");
  Extract(avi_test::AudioOnlyAvi(PcmFormat(1, 22050, 24), data));
  EXPECT_EQ(test::CriticalLogLines(), CleanLog("PCMWAVEFORMAT", "24 BITS PER SAMPLE", 1600, 4800));
  EXPECT_EQ(test::ReadBytes(kWaveName), ExpectedWave(Format(1, 22050, 24), data));

  // Compressed audio (MPEG layer 3 here) keeps the 8-bit mono 22050 label.
  Bytes mp3 = PcmFormat(2, 44100, 0, 30, 0x55);
  mp3[12] = 1;  // nBlockAlign
  std::filesystem::remove("TAMBRIX_crit.log");
  Extract(avi_test::AudioOnlyAvi(mp3, data));
  const Lines log = test::CriticalLogLines();
  ASSERT_EQ(log.size(), 19U);
  EXPECT_EQ(log[5], "FORMAT IS INVALID");
  EXPECT_EQ(log[6], "THE SIZE OF THE FORMAT IS:30");
  EXPECT_EQ(log[8], "0 bits per sample");
  EXPECT_EQ(test::ReadBytes(kWaveName), ExpectedWave(EightBitMono(22050), data));
}

TEST(ExtractAviAudio, CopiesOnlyTheFirstAudioStream) {
  test::ScopedWorkDir dir;
  const Bytes first = Pattern(3000, 1);
  const Bytes second = Pattern(3000, 2);
  Extract(MakeAvi({Video(), Audio(PcmFormat(1, 22050, 8)), Audio(PcmFormat(1, 11025, 8))},
                  {DataChunk(0, Bytes(100, 0), "dc"), DataChunk(2, second), DataChunk(1, first),
                   DataChunk(0, Bytes(100, 0), "dc"), DataChunk(1, first), DataChunk(2, second)}));
  EXPECT_EQ(test::ReadBytes(kWaveName),
            ExpectedWave(EightBitMono(22050), avi_test::Concat({first, first})));
}

// Without a stream the byte count stays 0: "tmp" is still written, empty, so
// an earlier recording in "tmp" is not taken for the video's sound.
TEST(ExtractAviAudio, FileWithoutAudioLogsTenTriesAndWritesAnEmptyWave) {
  test::ScopedWorkDir dir;
  test::WriteBytes(kWaveName, test::MakeWave8(22050, Pattern(500)));
  ASSERT_TRUE(Extract(MakeAvi({Video()}, {DataChunk(0, Bytes(100, 0), "dc")})));

  Lines expected = {"Starting Writing AVI File", "Writing AVI File", "Getting AVI Stream"};
  expected.insert(expected.end(), 10, "FOUND LAST STREAM");
  const Lines tail = {"Getting Format AVI File", "Reading AVI File", "Reading Stream Length",
                      "0 STREAM SIZE",           "0 STREAM LENGTH",  "Reading Stream",
                      "Writing Stream",          "Wrote Sound File", "DeAllocated Sound Buffer",
                      "Release Sound File",      "Exit Sound File"};
  expected.insert(expected.end(), tail.begin(), tail.end());
  EXPECT_EQ(test::CriticalLogLines(), expected);
  EXPECT_EQ(test::ReadBytes(kWaveName), ExpectedWave(EightBitMono(22050), {}));
}

TEST(ExtractAviAudio, FileThatCantBeOpenedOrIsNoAviIsLogged) {
  test::ScopedWorkDir dir;
  const Lines expected = {"Starting Writing AVI File",
                          "Writing AVI File",
                          "FAILED TO GET OPEN AVI",
                          "Getting AVI Stream",
                          "Getting Format AVI File",
                          "Reading AVI File",
                          "Reading Stream Length",
                          "0 STREAM SIZE",
                          "0 STREAM LENGTH",
                          "Reading Stream",
                          "Writing Stream",
                          "Wrote Sound File",
                          "DeAllocated Sound Buffer",
                          "Exit Sound File"};
  EXPECT_TRUE(ExtractAviAudio("missing.avi", kWaveName));
  EXPECT_EQ(test::CriticalLogLines(), expected);
  EXPECT_EQ(test::ReadBytes(kWaveName).size(), 44U);

  for (const Bytes& not_avi : {Bytes{}, Pattern(3000), test::MakeWave8(22050, Pattern(10))}) {
    std::filesystem::remove("TAMBRIX_crit.log");
    EXPECT_TRUE(Extract(not_avi));
    EXPECT_EQ(test::CriticalLogLines(), expected);
  }
}

TEST(ExtractAviAudio, TruncatedFileGivesTheBytesBeforeTheCut) {
  test::ScopedWorkDir dir;
  const Bytes data = Pattern(9000);
  Bytes avi = avi_test::AudioOnlyAvi(PcmFormat(1, 22050, 8), data, 9000);
  // Chunks of 4000, 4000 and 1000 bytes, then a 24-byte index: cut the index
  // and the last 500 bytes.
  avi.resize(avi.size() - 24 - 500);
  Extract(avi);
  const Bytes expected_data(data.begin(), data.end() - 500);
  EXPECT_EQ(test::ReadBytes(kWaveName), ExpectedWave(EightBitMono(22050), expected_data));
  const Lines log = test::CriticalLogLines();
  ASSERT_EQ(log.size(), 18U);
  EXPECT_EQ(log[9], "8500 STREAM SIZE");
  EXPECT_EQ(log[10], "8500 STREAM LENGTH");
}

// A directory in the way blocks the open even for root.
TEST(ExtractAviAudio, WaveThatCantBeCreatedIsStillReportedAsWritten) {
  test::ScopedWorkDir dir;
  std::filesystem::create_directory(kWaveName);
  EXPECT_TRUE(Extract(avi_test::AudioOnlyAvi(PcmFormat(1, 22050, 8), Pattern(100))));
  EXPECT_EQ(test::CriticalLogLines(), CleanLog("PCMWAVEFORMAT", "8 BITS PER SAMPLE", 100, 100));
  EXPECT_TRUE(std::filesystem::is_directory(kWaveName));
}

}  // namespace
