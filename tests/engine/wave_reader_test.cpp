#include "engine/wave_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/sound_engine.h"
#include "support/test_support.h"

namespace {

using test::Bytes;
using test::Chunk;
using test::Join;
using test::MakeWave;
using test::MakeWave16;
using test::MakeWave8;
using test::Pattern;
using Lines = std::vector<std::string>;

// The eight-line header dump, one log entry.
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

const std::string kEight = "8 bit wave file";
const std::string kSixteen = "16 bit wave file";
const std::string kFiller = "loading filler data";
const std::string kNegative = "Error-Negative Value";
const std::string kSingle = "Can Only Load Single Channel *.wav Files";

// The routine log of an 8-bit mono file with a 16-byte format, after `before`.
Lines EightBitLog(std::int64_t rate, std::int64_t data_size, Lines before = {}) {
  before.insert(before.end(), {Dump(16, 1, 1, rate, rate, 1, 8, data_size), kEight});
  return before;
}

struct WaveCase {
  const char* name;
  Bytes file;
  std::optional<Bytes> samples;
  std::uint32_t rate, count, seconds;
  Lines log;  // routine entries
  Lines critical;
};

std::vector<WaveCase> WaveCases() {
  Bytes zero_header = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  zero_header.resize(44, 0);
  // No chunk is tagged "data": the chunk after the filler is taken as data.
  Bytes untagged = MakeWave8(11025, {});
  untagged.resize(36);
  untagged = Join({untagged, Chunk("FLLR", Pattern(2), false), Chunk("dat!", {10, 20, 30, 40})});
  // Field recorders put their own chunks before "fmt ".
  const Bytes plain = MakeWave8(22050, Pattern(50));
  const Bytes fmt_later =
      Join({Bytes(plain.begin(), plain.begin() + 12), Chunk("bext", Pattern(603)),
            Chunk("JUNK", Pattern(28)), Bytes(plain.begin() + 12, plain.end())});
  // A format length past the end of the file: the chunks are walked from 36.
  Bytes past_end = MakeWave({}, Pattern(30), Chunk("LIST", Pattern(4)));
  past_end[17] = 0x10;
  const Bytes others =
      Join({Chunk("LIST", Pattern(26)), Chunk("JUNK", Pattern(7)), Chunk("fact", Pattern(4)),
            Chunk("bext", Pattern(601)), Chunk("FLLR", Pattern(5), false)});
  // Left 1 to 9, right 201 to 209, then half a frame.
  const Bytes stereo = {1, 201, 2, 202, 3, 203, 4, 204, 5, 205, 6, 206, 7, 207, 8, 208, 9, 209, 77};
  const Bytes p500 = Pattern(500);
  // clang-format off
  return {
      {"8-bit mono", MakeWave8(22050, Pattern(66150)), Pattern(66150), 22050, 66150, 3,
       EightBitLog(22050, 66150), {}},
      {"all fields 0", zero_header, std::nullopt, 0, 0, 0, {Dump(0, 0, 0, 0, 0, 0, 0, 0)},
       {kSingle, "Incorrect Format Tag"}},
      {"17-byte fmt", MakeWave({.format_len = 17}, p500), p500, 22050, 500, 0,
       {Dump(17, 1, 1, 22050, 22050, 1, 8, 500), kEight}, {}},
      {"40-byte extensible fmt", MakeWave({.format_tag = 0xFFFE, .format_len = 40}, p500), p500,
       22050, 500, 0, {Dump(40, -2, 1, 22050, 22050, 1, 8, 500), kEight}, {"Incorrect Format Tag"}},
      {"LIST, JUNK, fact, bext, filler before the data", MakeWave({}, p500, others), p500, 22050,
       500, 0, EightBitLog(22050, 500, {kFiller, "Data format was valid, now reading file size"}),
       {}},
      {"filler without data chunk", untagged, Bytes{10, 20, 30, 40}, 11025, 4, 0,
       EightBitLog(11025, 4, {kFiller}), {}},
      {"bext and JUNK before fmt", fmt_later, Pattern(50), 22050, 50, 0, EightBitLog(22050, 50),
       {}},
      {"format length past the end, LIST before the data", past_end, Pattern(30), 22050, 30, 0,
       {Dump(4112, 1, 1, 22050, 22050, 1, 8, 30), kEight}, {}},
      {"data header ending the file", MakeWave({.data_size_override = 100}, {}, Chunk("LIST", {1})),
       Bytes{}, 22050, 0, 0, EightBitLog(22050, 100), {}},
      {"data size beyond the file", MakeWave({.sample_rate = 50, .data_size_override = 1000}, p500),
       p500, 50, 500, 10, EightBitLog(50, 1000), {}},
      {"8-bit data size 0xFFFFFFFF", MakeWave({.data_size_override = 0xFFFFFFFF}, p500), p500,
       22050, 500, 0, EightBitLog(22050, -1), {}},
      {"16-bit data size 0xFFFFFFFF",
       MakeWave({.bits_per_sample = 16, .data_size_override = 0xFFFFFFFF}, Pattern(10)),
       Bytes{142, 170, 199, 227, 255}, 22050, 5, 0, {Dump(16, 1, 1, 22050, 44100, 2, 16, -1)},
       {kSixteen}},
      {"16-bit mono", MakeWave16(8000, {16384, 1000, 0, -1, -16384, -20000, 16384, -32768}),
       Bytes{255, 135, 127, 127, 0, 0, 255, 0}, 8000, 8, 0,
       {Dump(16, 1, 1, 8000, 16000, 2, 16, 16)}, {kSixteen, kNegative, kNegative}},
      {"16-bit odd data size", MakeWave({.bits_per_sample = 16}, {0xFF, 0x7F, 0x00, 0x00, 0x12}),
       Bytes{255, 127}, 22050, 2, 0, {Dump(16, 1, 1, 22050, 44100, 2, 16, 5)}, {kSixteen}},
      {"8-bit stereo", MakeWave({.channels = 2, .sample_rate = 4}, stereo),
       Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}, 4, 9, 2, {Dump(16, 1, 2, 4, 8, 2, 8, 19), kEight},
       {kSingle}},
      // The right channel is louder: only the left one counts.
      {"16-bit stereo", MakeWave16(2, {16384, 32767, 1000, 32767, -16384, -32768, 0, 5}, 2),
       Bytes{255, 135, 0, 127}, 2, 4, 2, {Dump(16, 1, 2, 2, 8, 4, 16, 16)}, {kSingle, kSixteen}},
      {"0 channels", MakeWave({.channels = 0}, Pattern(6)), Pattern(6), 22050, 6, 0,
       {Dump(16, 1, 0, 22050, 0, 0, 8, 6), kEight}, {kSingle}},
      {"not RIFF", Pattern(30), std::nullopt, 0, 0, 0, {}, {"not a RIFF file"}},
  };
  // clang-format on
}

TEST(WaveReader, ReadsEachLayoutWithItsExactLogs) {
  for (const WaveCase& c : WaveCases()) {
    SCOPED_TRACE(c.name);
    test::ScopedWorkDir dir;
    SilentAudioSystem audio;
    SoundEngine engine(&audio, nullptr);
    test::WriteBytes("clip.wav", c.file);
    EXPECT_TRUE(ReadWaveFile(engine, "clip.wav"));
    EXPECT_EQ(engine.samples, c.samples);
    EXPECT_EQ(engine.sample_rate, c.rate);
    EXPECT_EQ(engine.sample_count, c.count);
    EXPECT_EQ(engine.clip_length, c.seconds);
    std::string log_text;  // the entries as TAMBRIX.log holds them
    for (const std::string& entry : c.log) {
      log_text += "Data Time: " + entry + "\n";
    }
    EXPECT_EQ(test::ReadText("TAMBRIX.log"), log_text);
    EXPECT_EQ(test::CriticalLogLines(), c.critical);
  }
}

TEST(WaveReader, TruncatedHeadersLoadNoSamples) {
  const Bytes full = MakeWave8(8000, Pattern(10));
  for (std::size_t length = 12; length < 44; ++length) {
    test::ScopedWorkDir dir;
    SilentAudioSystem audio;
    SoundEngine engine(&audio, nullptr);
    test::WriteBytes("clip.wav", Bytes(full.begin(), full.begin() + static_cast<long>(length)));
    ReadWaveFile(engine, "clip.wav");
    EXPECT_EQ(engine.sample_count, 0U) << length;
    EXPECT_TRUE(!engine.samples.has_value() || engine.samples->empty()) << length;
    if (length >= 36) {
      EXPECT_TRUE(test::CriticalLogLines().empty()) << length;
      EXPECT_EQ(test::RoutineLogLines().back(), kEight) << length;
    }
  }
}

// Long enough for the conversion table and several read blocks: the
// largest value sits mid-clip, and the negative values are logged in order.
TEST(WaveReader, LongSixteenBitClipConvertsLikeItsPattern) {
  test::ScopedWorkDir dir;
  const std::vector<std::int16_t> pattern = {1000, 0, -1, -16384, -20000, 1000, 0, -32768};
  const Bytes converted = {135, 127, 127, 0, 0, 135, 127, 0};
  std::vector<std::int16_t> values;
  Bytes samples;
  for (int k = 0; k < 10000; ++k) {
    values.insert(values.end(), pattern.begin(), pattern.end());
    samples.insert(samples.end(), converted.begin(), converted.end());
  }
  values[40001] = 16384;
  samples[40001] = 255;
  test::WriteBytes("long.wav", MakeWave16(8000, values));
  SilentAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  ReadWaveFile(engine, "long.wav");
  EXPECT_EQ(engine.samples, samples);
  Lines expected(20001, kNegative);
  expected[0] = kSixteen;
  EXPECT_EQ(test::CriticalLogLines(), expected);
}

// Only regular files are read: a named pipe would block the program for good.
TEST(WaveReader, MissingFilesFoldersAndPipesAreNotFound) {
  test::ScopedWorkDir dir;
  SilentAudioSystem audio;
  SoundEngine engine(&audio, nullptr);
  std::filesystem::create_directory("folder.wav");
  ASSERT_EQ(::mkfifo("pipe.wav", 0600), 0);
  for (const char* path : {"missing.wav", "folder.wav", "pipe.wav"}) {
    engine.samples = Bytes(10);
    EXPECT_TRUE(ReadWaveFile(engine, path));
    EXPECT_FALSE(engine.samples.has_value());
  }
  EXPECT_EQ(test::CriticalLogLines(), Lines(3, "Failed To Find .wav File"));
}

}  // namespace
