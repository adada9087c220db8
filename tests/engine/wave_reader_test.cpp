#include "engine/wave_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/sound_engine.h"
#include "engine/wave_samples.h"
#include "support/test_support.h"

namespace {

using test::AppendTag;
using test::AppendU16;
using test::AppendU32;
using test::CriticalLogLines;
using test::MakeWave;
using test::MakeWave16;
using test::MakeWave8;
using test::RoutineLogLines;
using test::WaveSpec;
using test::WriteBytes;
using Lines = std::vector<std::string>;

constexpr const char* kFileName = "clip.wav";

// A complete chunk; a pad byte follows an odd size when `pad` is set.
std::vector<std::uint8_t> Chunk(std::string_view tag, std::uint32_t size, bool pad = true) {
  std::vector<std::uint8_t> chunk;
  AppendTag(chunk, tag);
  AppendU32(chunk, size);
  for (std::uint32_t i = 0; i < size; ++i) {
    chunk.push_back(static_cast<std::uint8_t>('a' + i % 26));
  }
  if (pad && size % 2 != 0) {
    chunk.push_back(0);
  }
  return chunk;
}

std::vector<std::uint8_t> Ramp(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 37 % 251);
  }
  return bytes;
}

// The eight-line dump of a 44-byte mono 8-bit header.
std::string Dump(std::int64_t format_len, int format_tag, int channels, std::int64_t rate,
                 std::int64_t avm_bytes, int blockalign, int bits, std::int64_t data_size) {
  auto line = [](int tabs, const char* label, std::int64_t value) {
    return std::string(static_cast<std::size_t>(tabs), '\t') + label + ": " +
           std::to_string(value) + " \n";
  };
  return line(0, "format_len", format_len) + line(12, "format_tag", format_tag) +
         line(12, "channels", channels) + line(13, "sample_rate", rate) +
         line(12, "avm_bytes", avm_bytes) + line(12, "blockalign", blockalign) +
         line(12, "bits_persample", bits) + line(11, "secondid", data_size);
}

// The dump as RoutineLogLines shows it: its eight lines and the empty line
// left by the entry's own line feed.
Lines DumpLines(const std::string& dump) {
  Lines lines;
  std::size_t start = 0;
  for (std::size_t end = dump.find('\n'); end != std::string::npos;
       start = end + 1, end = dump.find('\n', start)) {
    lines.push_back(dump.substr(start, end - start));
  }
  lines.emplace_back();
  return lines;
}

Lines Concat(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

class WaveReaderTest : public ::testing::Test {
 protected:
  // Writes the file and reads it into a freshly reset engine.
  void Read(const std::vector<std::uint8_t>& bytes) {
    WriteBytes(kFileName, bytes);
    ReadWaveFile(engine, kFileName);
  }
  std::vector<std::uint8_t> Samples() const {
    return engine.samples ? *engine.samples : std::vector<std::uint8_t>{};
  }

  test::ScopedWorkDir dir;
  SilentAudioSystem audio;
  SoundEngine engine{&audio, nullptr};
};

TEST(SixteenBitConversion, WorkedValues) {
  const float half_scale = SixteenBitScale(16384);
  EXPECT_EQ(half_scale, 1.99993896484375F);
  const std::pair<std::int16_t, std::uint8_t> half_cases[] = {
      {16384, 255}, {1000, 135}, {0, 127}, {-1, 127}, {-16384, 0}};
  for (const auto& [value, expected] : half_cases) {
    const ConvertedSample converted = ConvertSixteenBitValue(value, half_scale);
    EXPECT_EQ(converted.value, expected) << value;
    EXPECT_EQ(converted.range, SampleRange::kInRange) << value;
  }
  const ConvertedSample below = ConvertSixteenBitValue(-20000, half_scale);
  EXPECT_EQ(below.value, 0);
  EXPECT_EQ(below.range, SampleRange::kBelowRange);

  const float unit_scale = SixteenBitScale(32767);
  EXPECT_EQ(unit_scale, 1.0F);
  EXPECT_EQ(ConvertSixteenBitValue(1000, unit_scale).value, 131);
  EXPECT_EQ(ConvertSixteenBitValue(-32768, unit_scale).range, SampleRange::kBelowRange);
  EXPECT_EQ(ConvertSixteenBitValue(-32767, unit_scale).range, SampleRange::kInRange);

  // A value above the largest one can only come from a wrong scale.
  EXPECT_EQ(ConvertSixteenBitValue(2, 32767.0F).range, SampleRange::kAboveRange);
  EXPECT_EQ(ConvertSixteenBitValue(2, 32767.0F).value, 255);
}

TEST(SixteenBitConversion, NoPositiveValueKeepsTheClipLevel) {
  EXPECT_EQ(SixteenBitScale(0), 1.0F);
  EXPECT_EQ(ConvertSixteenBitValue(-100, SixteenBitScale(0)).value, 127);
}

TEST_F(WaveReaderTest, PlainEightBitMonoLoadsBytesUnchanged) {
  const auto data = Ramp(66150);
  Read(MakeWave8(22050, data));
  EXPECT_EQ(engine.sample_rate, 22050U);
  EXPECT_EQ(engine.sample_count, 66150U);
  EXPECT_EQ(engine.clip_length, 3U);
  EXPECT_EQ(Samples(), data);
  EXPECT_EQ(RoutineLogLines(),
            Concat({DumpLines(Dump(16, 1, 1, 22050, 22050, 1, 8, 66150)), {"8 bit wave file"}}));
  EXPECT_TRUE(CriticalLogLines().empty());
}

TEST_F(WaveReaderTest, HeaderDumpIsOneEntryWithExactTabsAndSpaces) {
  Read(MakeWave8(8000, Ramp(9)));
  const std::string expected =
      "Data Time: format_len: 16 \n" + std::string(12, '\t') + "format_tag: 1 \n" +
      std::string(12, '\t') + "channels: 1 \n" + std::string(13, '\t') + "sample_rate: 8000 \n" +
      std::string(12, '\t') + "avm_bytes: 8000 \n" + std::string(12, '\t') + "blockalign: 1 \n" +
      std::string(12, '\t') + "bits_persample: 8 \n" + std::string(11, '\t') + "secondid: 9 \n\n" +
      "Data Time: 8 bit wave file\n";
  EXPECT_EQ(test::ReadText("TAMBRIX.log"), expected);
}

TEST_F(WaveReaderTest, HeaderDumpFixedTextIs196Characters) {
  // Every field 0: eight one-digit values on top of the fixed text.
  std::vector<std::uint8_t> bytes;
  AppendTag(bytes, "RIFF");
  AppendU32(bytes, 36);
  AppendTag(bytes, "WAVE");
  AppendTag(bytes, "fmt ");
  bytes.resize(44, 0);
  Read(bytes);
  const std::string log = test::ReadText("TAMBRIX.log");
  const std::string prefix = "Data Time: ";
  ASSERT_EQ(log.substr(0, prefix.size()), prefix);
  EXPECT_EQ(log.size(), prefix.size() + 196 + 8 + 1);
  EXPECT_EQ(log, prefix + Dump(0, 0, 0, 0, 0, 0, 0, 0) + "\n");
  EXPECT_EQ(CriticalLogLines(),
            (Lines{"Can Only Load Single Channel *.wav Files", "Incorrect Format Tag"}));
  EXPECT_FALSE(engine.samples.has_value());
  EXPECT_EQ(engine.clip_length, 0U);
}

TEST_F(WaveReaderTest, FillerChunkIsSkippedWithoutPadByte) {
  const auto data = Ramp(300);
  // An odd filler size: the data chunk follows the filler bytes directly.
  Read(MakeWave(WaveSpec{}, data, Chunk("FLLR", 3, false)));
  EXPECT_EQ(Samples(), data);
  EXPECT_EQ(engine.sample_count, 300U);
  EXPECT_EQ(RoutineLogLines(),
            Concat({{"loading filler data", "Data format was valid, now reading file size"},
                    DumpLines(Dump(16, 1, 1, 22050, 22050, 1, 8, 300)),
                    {"8 bit wave file"}}));
}

TEST_F(WaveReaderTest, FillerWithoutDataChunkIsReadAtTheFixedOffsets) {
  // No chunk is tagged "data": the chunk after the filler is taken as data.
  std::vector<std::uint8_t> bytes = MakeWave8(11025, {});
  bytes.resize(36);
  const auto filler = Chunk("FLLR", 2, false);
  bytes.insert(bytes.end(), filler.begin(), filler.end());
  AppendTag(bytes, "dat!");
  AppendU32(bytes, 4);
  bytes.insert(bytes.end(), {10, 20, 30, 40});
  Read(bytes);
  EXPECT_EQ(Samples(), (std::vector<std::uint8_t>{10, 20, 30, 40}));
  EXPECT_EQ(RoutineLogLines(), Concat({{"loading filler data"},
                                       DumpLines(Dump(16, 1, 1, 11025, 11025, 1, 8, 4)),
                                       {"8 bit wave file"}}));
}

TEST_F(WaveReaderTest, SixteenBitMonoScalesToTheLargestValue) {
  Read(MakeWave16(8000, {16384, 1000, 0, -1, -16384, -20000, 16384, 0}));
  EXPECT_EQ(engine.sample_count, 8U);
  EXPECT_EQ(engine.clip_length, 0U);
  EXPECT_EQ(Samples(), (std::vector<std::uint8_t>{255, 135, 127, 127, 0, 0, 255, 127}));
  EXPECT_EQ(CriticalLogLines(), (Lines{"16 bit wave file", "Error-Negative Value"}));
  EXPECT_EQ(RoutineLogLines(), DumpLines(Dump(16, 1, 1, 8000, 16000, 2, 16, 16)));
}

TEST_F(WaveReaderTest, SixteenBitFullScaleLogsEachNegativeOverflow) {
  std::vector<std::int16_t> values(16000, 0);
  values[1] = 32767;
  values[2] = 1000;
  values[3] = -32768;
  values[9] = -32768;
  Read(MakeWave16(8000, values));
  EXPECT_EQ(engine.sample_count, 16000U);
  EXPECT_EQ(engine.clip_length, 2U);
  const auto samples = Samples();
  EXPECT_EQ(samples[1], 255);
  EXPECT_EQ(samples[2], 131);
  EXPECT_EQ(samples[3], 0);
  EXPECT_EQ(samples[0], 127);
  EXPECT_EQ(CriticalLogLines(),
            (Lines{"16 bit wave file", "Error-Negative Value", "Error-Negative Value"}));
}

TEST_F(WaveReaderTest, SixteenBitWithoutPositiveValueDoesNotDivideByZero) {
  Read(MakeWave16(8000, {0, -1, -100, -32767, -32768}));
  EXPECT_EQ(Samples(), (std::vector<std::uint8_t>{127, 127, 127, 0, 0}));
  EXPECT_EQ(CriticalLogLines(), (Lines{"16 bit wave file", "Error-Negative Value"}));
}

TEST_F(WaveReaderTest, SixteenBitOddDataSizeDropsTheHalfSample) {
  WaveSpec spec;
  spec.bits_per_sample = 16;
  Read(MakeWave(spec, {0xFF, 0x7F, 0x00, 0x00, 0x12}));
  EXPECT_EQ(engine.sample_count, 2U);
  EXPECT_EQ(Samples(), (std::vector<std::uint8_t>{255, 127}));
}

TEST_F(WaveReaderTest, UnsupportedSampleSizeLogsHeaderAndMakesNoSamples) {
  WaveSpec spec;
  spec.bits_per_sample = 24;
  spec.sample_rate = 100;
  Read(MakeWave(spec, Ramp(900)));
  EXPECT_FALSE(engine.samples.has_value());
  EXPECT_EQ(engine.sample_count, 900U);
  EXPECT_EQ(engine.clip_length, 9U);
  EXPECT_EQ(RoutineLogLines(), DumpLines(Dump(16, 1, 1, 100, 300, 3, 24, 900)));
  EXPECT_TRUE(CriticalLogLines().empty());
}

TEST_F(WaveReaderTest, FilesThatAreNotWaveLeaveTheEngineEmpty) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    const char* message;
  };
  std::vector<std::uint8_t> avi;
  AppendTag(avi, "RIFF");
  AppendU32(avi, 4);
  AppendTag(avi, "AVI ");
  const std::string text = "just some text, not a sound\n";
  const std::vector<Case> cases = {
      {std::vector<std::uint8_t>(text.begin(), text.end()), "not a RIFF file"},
      {{'R', 'I'}, "not a RIFF file"},
      {{}, "not a RIFF file"},
      {avi, "RIFF file but not a wave file"},
  };
  for (const Case& c : cases) {
    test::ScopedWorkDir case_dir;
    Reset(engine);
    Read(c.bytes);
    EXPECT_EQ(CriticalLogLines(), Lines{c.message});
    EXPECT_TRUE(RoutineLogLines().empty());
    EXPECT_FALSE(engine.samples.has_value());
    EXPECT_EQ(engine.sample_rate, 0U);
    EXPECT_EQ(engine.sample_count, 0U);
    EXPECT_EQ(engine.clip_length, 0U);
  }
}

TEST_F(WaveReaderTest, MissingFileIsReportedAndReleasesTheOldClip) {
  Read(MakeWave8(8000, Ramp(100)));
  ASSERT_TRUE(engine.samples.has_value());
  EXPECT_TRUE(ReadWaveFile(engine, "no such file.wav"));
  EXPECT_FALSE(engine.samples.has_value());
  EXPECT_EQ(CriticalLogLines(), Lines{"Failed To Find .wav File"});
}

// Only regular files are read: a named pipe would block the program for good.
TEST_F(WaveReaderTest, FoldersAndPipesAreNotFound) {
  std::filesystem::create_directory("folder.wav");
  ASSERT_EQ(::mkfifo("pipe.wav", 0600), 0);
  EXPECT_TRUE(ReadWaveFile(engine, "folder.wav"));
  EXPECT_TRUE(ReadWaveFile(engine, "pipe.wav"));
  EXPECT_FALSE(engine.samples.has_value());
  EXPECT_EQ(CriticalLogLines(), (Lines{"Failed To Find .wav File", "Failed To Find .wav File"}));
}

TEST_F(WaveReaderTest, DataSizeBeyondTheFileIsCutToTheBytesHeld) {
  WaveSpec spec;
  spec.sample_rate = 50;
  spec.data_size_override = 1000;
  const auto data = Ramp(100);
  Read(MakeWave(spec, data));
  EXPECT_EQ(engine.sample_count, 100U);
  EXPECT_EQ(engine.clip_length, 2U);
  EXPECT_EQ(Samples(), data);
  // The dump shows the size the file claims.
  EXPECT_EQ(RoutineLogLines(),
            Concat({DumpLines(Dump(16, 1, 1, 50, 50, 1, 8, 1000)), {"8 bit wave file"}}));
}

TEST_F(WaveReaderTest, FourGigabyteClaimAllocatesOnlyWhatTheFileHolds) {
  for (const int bits : {8, 16}) {
    test::ScopedWorkDir case_dir;
    Reset(engine);
    WaveSpec spec;
    spec.bits_per_sample = static_cast<std::uint16_t>(bits);
    spec.data_size_override = 0xFFFFFFFF;
    Read(MakeWave(spec, Ramp(10)));
    EXPECT_EQ(engine.sample_count, bits == 8 ? 10U : 5U);
    ASSERT_TRUE(engine.samples.has_value());
    EXPECT_EQ(engine.samples->size(), engine.sample_count);
    EXPECT_EQ(RoutineLogLines().at(7), std::string(11, '\t') + "secondid: -1 ");
  }
}

TEST_F(WaveReaderTest, LongerFormatChunksAreSteppedOver) {
  const auto data = Ramp(500);
  WaveSpec plain;
  WaveSpec ex;  // 18-byte WAVEFORMATEX
  ex.format_len = 18;
  WaveSpec extensible;  // 40-byte WAVE_FORMAT_EXTENSIBLE
  extensible.format_len = 40;
  extensible.format_tag = 0xFFFE;
  WaveSpec odd;
  odd.format_len = 17;
  for (const WaveSpec& spec : {ex, extensible, odd}) {
    test::ScopedWorkDir case_dir;
    Reset(engine);
    Read(MakeWave(spec, data));
    EXPECT_EQ(Samples(), data) << spec.format_len;
    EXPECT_EQ(engine.sample_count, 500U);
    EXPECT_EQ(RoutineLogLines(),
              Concat({DumpLines(Dump(spec.format_len, static_cast<std::int16_t>(spec.format_tag), 1,
                                     22050, 22050, 1, 8, 500)),
                      {"8 bit wave file"}}));
    const Lines expected_critical = spec.format_tag == 1 ? Lines{} : Lines{"Incorrect Format Tag"};
    EXPECT_EQ(CriticalLogLines(), expected_critical);
  }
}

TEST_F(WaveReaderTest, ChunksBeforeTheDataAreSkipped) {
  const auto data = Ramp(123);
  std::vector<std::uint8_t> chunks;
  for (const auto& chunk : {Chunk("LIST", 26), Chunk("JUNK", 7), Chunk("fact", 4),
                            Chunk("bext", 601), Chunk("FLLR", 5, false)}) {
    chunks.insert(chunks.end(), chunk.begin(), chunk.end());
  }
  Read(MakeWave(WaveSpec{}, data, chunks));
  EXPECT_EQ(Samples(), data);
  EXPECT_EQ(engine.sample_count, 123U);
  EXPECT_EQ(RoutineLogLines(),
            Concat({{"loading filler data", "Data format was valid, now reading file size"},
                    DumpLines(Dump(16, 1, 1, 22050, 22050, 1, 8, 123)),
                    {"8 bit wave file"}}));
}

TEST_F(WaveReaderTest, FillerBeforeAnotherChunkLogsOnlyItsFirstLine) {
  const auto data = Ramp(40);
  auto chunks = Chunk("FLLR", 4, false);
  const auto list = Chunk("LIST", 9);
  chunks.insert(chunks.end(), list.begin(), list.end());
  Read(MakeWave(WaveSpec{}, data, chunks));
  EXPECT_EQ(Samples(), data);
  EXPECT_EQ(RoutineLogLines().front(), "loading filler data");
  EXPECT_EQ(RoutineLogLines().at(1), "format_len: 16 ");
}

TEST_F(WaveReaderTest, WithoutADataChunkThePlainOffsetsAreUsed) {
  // A format length no chunk walk can follow: the data is read at offset 44.
  WaveSpec spec;
  std::vector<std::uint8_t> bytes = MakeWave(spec, Ramp(20));
  bytes[16] = bytes[17] = bytes[18] = bytes[19] = 0xFF;
  Read(bytes);
  EXPECT_EQ(Samples(), Ramp(20));
  EXPECT_EQ(RoutineLogLines().front(), "format_len: -1 ");
}

TEST_F(WaveReaderTest, TruncatedHeadersLoadNoSamples) {
  const auto full = MakeWave8(8000, Ramp(10));
  for (std::size_t length = 12; length < 44; ++length) {
    test::ScopedWorkDir case_dir;
    Reset(engine);
    Read(std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<long>(length)));
    EXPECT_EQ(engine.sample_count, 0U) << length;
    EXPECT_TRUE(!engine.samples.has_value() || engine.samples->empty()) << length;
    if (length >= 36) {
      EXPECT_TRUE(CriticalLogLines().empty()) << length;
      EXPECT_EQ(RoutineLogLines().back(), "8 bit wave file") << length;
    }
  }
}

TEST_F(WaveReaderTest, StereoEightBitKeepsTheFirstChannel) {
  WaveSpec spec;
  spec.channels = 2;
  spec.sample_rate = 4;
  // Left 1..9, right 200..; a half frame at the end is dropped.
  std::vector<std::uint8_t> data;
  for (std::uint8_t i = 1; i <= 9; ++i) {
    data.push_back(i);
    data.push_back(static_cast<std::uint8_t>(200 + i));
  }
  data.push_back(77);
  Read(MakeWave(spec, data));
  EXPECT_EQ(Samples(), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(engine.sample_count, 9U);
  EXPECT_EQ(engine.clip_length, 2U);
  EXPECT_EQ(CriticalLogLines(), Lines{"Can Only Load Single Channel *.wav Files"});
  EXPECT_EQ(RoutineLogLines().at(7), std::string(11, '\t') + "secondid: 19 ");
}

TEST_F(WaveReaderTest, StereoSixteenBitScalesByTheFirstChannel) {
  // Right channel louder than the left: only the left one counts.
  Read(MakeWave16(2, {16384, 32767, 1000, 32767, -16384, -32768, 0, 5}, 2));
  EXPECT_EQ(Samples(), (std::vector<std::uint8_t>{255, 135, 0, 127}));
  EXPECT_EQ(engine.sample_count, 4U);
  EXPECT_EQ(engine.clip_length, 2U);
  EXPECT_EQ(CriticalLogLines(),
            (Lines{"Can Only Load Single Channel *.wav Files", "16 bit wave file"}));
}

TEST_F(WaveReaderTest, ZeroChannelsReadLikeOne) {
  WaveSpec spec;
  spec.channels = 0;
  Read(MakeWave(spec, Ramp(6)));
  EXPECT_EQ(Samples(), Ramp(6));
}

TEST_F(WaveReaderTest, ZeroSampleRateLeavesClipLengthZero) {
  WaveSpec spec;
  spec.sample_rate = 0;
  Read(MakeWave(spec, Ramp(100)));
  EXPECT_EQ(engine.sample_count, 100U);
  EXPECT_EQ(engine.clip_length, 0U);
}

TEST_F(WaveReaderTest, UnwritableCriticalLogLosesOnlyItsOwnEntries) {
  // A directory in the log's place makes every open fail, even for root.
  std::filesystem::create_directory("TAMBRIX_crit.log");
  Read(MakeWave16(8000, {100, -200}));
  EXPECT_EQ(Samples(), (std::vector<std::uint8_t>{255, 0}));
  EXPECT_EQ(RoutineLogLines(), DumpLines(Dump(16, 1, 1, 8000, 16000, 2, 16, 4)));
  std::filesystem::remove("TAMBRIX_crit.log");
  Reset(engine);
  Read(MakeWave16(8000, {100, -200}));
  EXPECT_EQ(CriticalLogLines(), (Lines{"16 bit wave file", "Error-Negative Value"}));
}

TEST_F(WaveReaderTest, ReadOnlyCriticalLog) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "file permissions don't bind root";
  }
  WriteBytes("TAMBRIX_crit.log", {});
  std::filesystem::permissions("TAMBRIX_crit.log", std::filesystem::perms::owner_read);
  Read(MakeWave16(8000, {1}));
  EXPECT_TRUE(CriticalLogLines().empty());
  EXPECT_FALSE(RoutineLogLines().empty());
  std::filesystem::permissions("TAMBRIX_crit.log", std::filesystem::perms::owner_all);
  Read(MakeWave16(8000, {1}));
  EXPECT_EQ(CriticalLogLines(), Lines{"16 bit wave file"});
}

}  // namespace
