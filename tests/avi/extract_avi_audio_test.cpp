#include "avi/extract_avi_audio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "log/event_log.h"
#include "riff/replacement_file.h"
#include "support/test_support.h"

namespace {

using avi_test::Audio;
using avi_test::PcmFormat;
using test::Bytes;
using test::Pattern;
using Lines = std::vector<std::string>;

// The extraction log of a stream that is found: `reading` follows "Reading
// AVI File".
Lines CleanLog(const Lines& format_lines, const std::string& bits_line, int samples, int bytes,
               const Lines& reading = {}) {
  Lines lines = {"Starting Writing AVI File", "Writing AVI File", "Getting AVI Stream",
                 "SEARCHING FOR STREAM", "Getting Format AVI File"};
  lines.insert(lines.end(), format_lines.begin(), format_lines.end());
  lines.push_back("Reading AVI File");
  lines.insert(lines.end(), reading.begin(), reading.end());
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

// Without a stream: nothing to release but the file, an empty "tmp".
Lines NoStreamLog(bool opened) {
  Lines lines = {"Starting Writing AVI File", "Writing AVI File"};
  if (!opened) {
    lines.push_back("FAILED TO GET OPEN AVI");
  }
  lines.push_back("Getting AVI Stream");
  lines.insert(lines.end(), opened ? 10 : 0, "FOUND LAST STREAM");
  const Lines tail = {"Getting Format AVI File", "Reading AVI File", "Reading Stream Length",
                      "0 STREAM SIZE",           "0 STREAM LENGTH",  "Reading Stream",
                      "Writing Stream",          "Wrote Sound File", "DeAllocated Sound Buffer"};
  lines.insert(lines.end(), tail.begin(), tail.end());
  if (opened) {
    lines.push_back("Release Sound File");
  }
  lines.push_back("Exit Sound File");
  return lines;
}

bool Extract(const Bytes& avi) {
  test::WriteBytes("clip.avi", avi);
  ReplacementFile wave("tmp");
  return ExtractAviAudio("clip.avi", wave);
}

TEST(ExtractAviAudio, CopiesTheStreamExactlyWithEighteenLogLines) {
  test::ScopedWorkDir dir;
  const Bytes data = Pattern(22051);  // odd: no pad byte in "tmp"
  ASSERT_TRUE(Extract(avi_test::AudioOnlyAvi(PcmFormat(1, 22050, 8), data, 22051)));
  const Lines log = test::CriticalLogLines();
  EXPECT_EQ(log, CleanLog({"PCMWAVEFORMAT"}, "8 BITS PER SAMPLE", 22051, 22051));
  EXPECT_EQ(log.size(), 18U);
  EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(22050, data));
  EXPECT_TRUE(test::RoutineLogLines().empty());
}

Bytes WithU16(Bytes record, std::size_t offset, std::uint16_t value) {
  record[offset] = static_cast<std::uint8_t>(value & 0xFF);
  record[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  return record;
}

// The record decides the log and the header: a PCM stream keeps its own
// format so that the WAVE reader times it right; anything else is labelled
// 8-bit mono at 22050. The bytes are copied unchanged.
TEST(ExtractAviAudio, TheFormatRecordDecidesTheLogAndTheHeader) {
  const Bytes mp3 = WithU16(PcmFormat(2, 44100, 0, 30, 0x55), 12, 1);
  struct Case {
    Bytes record;
    Lines format_lines;
    std::string bits_line;
    int samples;  // 4800 bytes in blocks of the record's block align
    test::WaveFileOptions header;
  };
  const Lines pcm = {"PCMWAVEFORMAT"};
  const std::string bits16 = "16 BITS PER SAMPLE";
  const test::WaveFileOptions mono16 = {.bits_per_sample = 16};
  // clang-format off
  const Case cases[] = {
      {PcmFormat(1, 22050, 16), pcm, bits16, 2400, mono16},
      {PcmFormat(1, 22050, 16, 14), {"WAVEFORMAT"}, "", 2400, mono16},  // bits from block align
      {PcmFormat(1, 22050, 16, 18), {"WAVEFORMATEX"}, bits16, 2400, mono16},
      {PcmFormat(1, 22050, 16, 50), {"FORMAT IS INVALID", "THE SIZE OF THE FORMAT IS:50"}, bits16, 2400, mono16},
      // Labelled as such: the WAVE reader then refuses it.
      {PcmFormat(1, 22050, 24), pcm, "24 BITS PER SAMPLE", 1600, {.bits_per_sample = 24}},
      {PcmFormat(2, 44100, 16), pcm, bits16, 1200, {.channels = 2, .sample_rate = 44100, .bits_per_sample = 16}},
      {PcmFormat(2, 11025, 8, 14), {"WAVEFORMAT"}, "", 2400, {.channels = 2, .sample_rate = 11025}},
      {WithU16(PcmFormat(1, 8000, 16), 14, 0), pcm, "0 bits per sample", 2400, {.sample_rate = 8000, .bits_per_sample = 16}},
      // Compressed audio (MPEG layer 3) and unusable PCM records fall back.
      {mp3, {"FORMAT IS INVALID", "THE SIZE OF THE FORMAT IS:30"}, "0 bits per sample", 4800, {}},
      {PcmFormat(2, 44100, 16, 12), {"FORMAT IS INVALID", "THE SIZE OF THE FORMAT IS:12"}, "", 4800, {}},
      {WithU16(PcmFormat(1, 44100, 16), 2, 0), pcm, bits16, 2400, {}},
      {PcmFormat(1, 0, 16), pcm, bits16, 2400, {}},
      {WithU16(PcmFormat(1, 44100, 16), 12, 0), pcm, bits16, 4800, {}},
      {WithU16(PcmFormat(4, 44100, 0, 14), 12, 2), {"WAVEFORMAT"}, "", 2400, {}},
      {{}, {"FORMAT IS INVALID", "THE SIZE OF THE FORMAT IS:0"}, "", 4800, {}},
  };
  // clang-format on
  const Bytes data = Pattern(4800);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.record));
    test::ScopedWorkDir dir;
    EXPECT_TRUE(Extract(avi_test::AudioOnlyAvi(c.record, data)));
    EXPECT_EQ(test::CriticalLogLines(), CleanLog(c.format_lines, c.bits_line, c.samples, 4800));
    EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave(c.header, data));
  }
}

// The header's length only matters when the stream has no data; its sample
// size, else the record's block align, counts the samples.
TEST(ExtractAviAudio, TheStreamHeaderGivesLengthAndSampleSize) {
  const Bytes pcm8 = PcmFormat(1, 22050, 8);
  const std::string bits8 = "8 BITS PER SAMPLE";
  struct Case {
    avi_test::StreamHeader header;
    std::size_t data_bytes;
    Lines log;
  };
  const Case cases[] = {
      {Audio(pcm8), 0, CleanLog({"PCMWAVEFORMAT"}, bits8, 0, 0, {"Failed To Get Buffer Length"})},
      {Audio(pcm8, 7), 0, CleanLog({"PCMWAVEFORMAT"}, bits8, 0, 0)},
      {{.format = pcm8, .sample_size = 4}, 4801, CleanLog({"PCMWAVEFORMAT"}, bits8, 1200, 4801)},
  };
  for (const Case& c : cases) {
    test::ScopedWorkDir dir;
    std::vector<Bytes> movi;
    if (c.data_bytes > 0) {
      movi.push_back(avi_test::DataChunk(0, Pattern(c.data_bytes)));
    }
    EXPECT_TRUE(Extract(avi_test::MakeAvi({c.header}, movi)));
    EXPECT_EQ(test::CriticalLogLines(), c.log);
  }
}

// Without a stream "tmp" is still written, empty, so an earlier recording in
// "tmp" is not taken for the video's sound.
TEST(ExtractAviAudio, NoAudioStreamOrNoAviFileGivesAnEmptyWave) {
  const std::pair<Bytes, bool> cases[] = {
      {avi_test::MakeAvi({avi_test::Video()}, {avi_test::DataChunk(0, Bytes(100, 0), "dc")}), true},
      {Bytes{}, false},
      {Pattern(3000), false},
      {test::MakeWave8(22050, Pattern(10)), false},
      {test::List("AVI ", {test::List("movi", {avi_test::DataChunk(0, Pattern(10))})}, "RIFF"),
       false},
  };
  for (const auto& [file, opened] : cases) {
    test::ScopedWorkDir dir;
    test::WriteBytes("tmp", test::MakeWave8(22050, Pattern(500)));
    EXPECT_TRUE(Extract(file));
    EXPECT_EQ(test::CriticalLogLines(), NoStreamLog(opened));
    EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(22050, {}));
  }
  test::ScopedWorkDir dir;
  std::filesystem::create_directory("folder.avi");
  for (const char* path : {"missing.avi", "folder.avi"}) {
    ReplacementFile wave("tmp");
    EXPECT_TRUE(ExtractAviAudio(path, wave));
  }
  Lines twice = NoStreamLog(false);
  const Lines once = twice;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(test::CriticalLogLines(), twice);
}

// A directory in the way blocks the rename even for root: the extraction
// fails and leaves nothing behind.
TEST(ExtractAviAudio, WaveThatCantBePutInPlaceFailsTheExtraction) {
  test::ScopedWorkDir dir;
  std::filesystem::create_directory("tmp");
  EXPECT_FALSE(Extract(avi_test::AudioOnlyAvi(PcmFormat(1, 22050, 8), Pattern(100))));
  Lines expected = CleanLog({"PCMWAVEFORMAT"}, "8 BITS PER SAMPLE", 100, 100);
  std::replace(expected.begin(), expected.end(), std::string("Wrote Sound File"),
               std::string("Failed To Write Sound File"));
  EXPECT_EQ(test::CriticalLogLines(), expected);
  EXPECT_EQ(LastFailureEntry(), "Failed To Write Sound File");
  EXPECT_TRUE(std::filesystem::is_directory("tmp"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 3) << "no part file left";
}

}  // namespace
