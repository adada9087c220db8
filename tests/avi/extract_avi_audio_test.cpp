#include "avi/extract_avi_audio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "riff/replacement_file.h"
#include "support/test_support.h"

namespace {

using avi_test::Audio;
using avi_test::AudioOnlyAvi;
using avi_test::DataChunk;
using avi_test::MakeAvi;
using avi_test::PcmFormat;
using test::Bytes;
using test::List;
using test::MakeWave;
using test::Pattern;
using Lines = std::vector<std::string>;

Lines Cat(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

// clang-format off
// The log of a stream that is found: 18 lines for a PCMWAVEFORMAT record.
// `reading` follows "Reading AVI File".
Lines FoundLog(const Lines& format_lines, const std::string& bits_line, int samples, int bytes,
               const Lines& reading = {}) {
  return Cat({{"Starting Writing AVI File", "Writing AVI File", "Getting AVI Stream",
               "SEARCHING FOR STREAM", "Getting Format AVI File"},
              format_lines, {"Reading AVI File"}, reading,
              Lines(bits_line.empty() ? 0 : 1, bits_line),
              {"Reading Stream Length", std::to_string(samples) + " STREAM SIZE",
               std::to_string(bytes) + " STREAM LENGTH", "Reading Stream", "Writing Stream",
               "Wrote Sound File", "DeAllocated Sound Buffer", "Release Sound Stream",
               "Release Sound File", "Exit Sound File"}});
}

// Without a stream: no format, nothing read, an empty "tmp".
Lines NoStreamLog(bool opened) {
  return Cat({{"Starting Writing AVI File", "Writing AVI File"},
              Lines(opened ? 0 : 1, "FAILED TO GET OPEN AVI"), {"Getting AVI Stream"},
              Lines(opened ? 10 : 0, "FOUND LAST STREAM"),
              {"Getting Format AVI File", "Reading AVI File", "Reading Stream Length",
               "0 STREAM SIZE", "0 STREAM LENGTH", "Reading Stream", "Writing Stream",
               "Wrote Sound File", "DeAllocated Sound Buffer"},
              Lines(opened ? 1 : 0, "Release Sound File"), {"Exit Sound File"}});
}
// clang-format on

// Extracts `avi` (none: no such file) as "clip.avi" into "tmp".
bool Extract(const std::optional<Bytes>& avi) {
  if (avi) {
    test::WriteBytes("clip.avi", *avi);
  }
  ReplacementFile wave("tmp");
  return ExtractAviAudio("clip.avi", wave);
}

Bytes WithU16(Bytes record, std::size_t offset, std::uint16_t value) {
  record[offset] = static_cast<std::uint8_t>(value & 0xFF);
  record[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  return record;
}

struct ExtractCase {
  std::optional<Bytes> avi;  // none: no such file
  Lines log;
  Bytes tmp;
};

// The format record decides the log and the header: a PCM record keeps the
// stream's own format so that the WAVE reader times it right; anything else
// is labelled 8-bit mono at 22050. The bytes are copied unchanged, and a file
// without sound still replaces "tmp", so an earlier recording is never taken
// for the video's sound.
std::vector<ExtractCase> ExtractCases() {
  const Bytes data = Pattern(4801);  // odd: no pad byte in "tmp"
  const Lines pcm = {"PCMWAVEFORMAT"};
  const std::string bits8 = "8 BITS PER SAMPLE";
  const auto invalid = [](int size) {
    return Lines{"FORMAT IS INVALID", "THE SIZE OF THE FORMAT IS:" + std::to_string(size)};
  };
  const auto found = [&](const Bytes& record, const Lines& format_lines, const std::string& bits,
                         int samples, test::WaveFileOptions header) {
    return ExtractCase{AudioOnlyAvi(record, data), FoundLog(format_lines, bits, samples, 4801),
                       MakeWave(header, data)};
  };
  const Bytes empty = test::MakeWave8(22050, {});
  const Bytes pcm8 = PcmFormat(1, 22050, 8);
  // Chunk ids number the streams among all streams; other streams' chunks,
  // "rec " lists, pad bytes and OpenDML "AVIX" parts keep the data in order.
  const Bytes a = Pattern(333, 1);
  const Bytes b = Pattern(1, 2);
  const Bytes frame(50, 0xEE);
  std::vector<avi_test::StreamHeader> streams(10, avi_test::Video());
  streams.insert(streams.end(), {Audio({}), Audio({})});
  const Bytes in_order = MakeAvi(
      streams,
      {DataChunk(0, frame, "dc"), DataChunk(11, frame), DataChunk(10, a), test::Chunk("JUNK", b),
       List("rec ", {DataChunk(0, frame, "dc"), DataChunk(10, b), DataChunk(10, {})})},
      {List("AVIX", {List("movi", {DataChunk(10, frame), DataChunk(11, b), List("rec ", {})})},
            "RIFF"),
       List("AVIX", {test::Chunk("JUNK", {}), List("movi", {List("rec ", {DataChunk(10, a)})})},
            "RIFF")});
  // A chunk reaching past its list ends the walk; so do lists nested too deep.
  const Bytes past_its_list =
      MakeAvi({Audio({})},
              {DataChunk(0, a), List("rec ", {WithU16(DataChunk(0, b), 4, 9)}), DataChunk(0, b)});
  Bytes too_deep = DataChunk(0, b);
  for (int depth = 0; depth < 8; ++depth) {
    too_deep = List("rec ", {too_deep});
  }
  // clang-format off
  return {
      found(pcm8, pcm, bits8, 4801, {}),
      found(PcmFormat(2, 44100, 16), pcm, "16 BITS PER SAMPLE", 1200,
            {.channels = 2, .sample_rate = 44100, .bits_per_sample = 16}),
      // Compressed audio (MPEG layer 3) and unusable PCM records.
      found(WithU16(PcmFormat(2, 44100, 0, 30, 0x55), 12, 1), invalid(30), "0 bits per sample", 4801, {}),
      // The header's length matters only without data.
      {MakeAvi({Audio(pcm8)}, {}), FoundLog(pcm, bits8, 0, 0, {"Failed To Get Buffer Length"}), empty},
      {in_order, FoundLog(invalid(0), "", 717, 717),
       test::MakeWave8(22050, test::Join({a, b, frame, a}))},
      {past_its_list, FoundLog(invalid(0), "", 333, 333), test::MakeWave8(22050, a)},
      {MakeAvi({Audio({})}, {DataChunk(0, a), too_deep, DataChunk(0, b)}),
       FoundLog(invalid(0), "", 333, 333), test::MakeWave8(22050, a)},
      {MakeAvi({avi_test::Video()}, {DataChunk(0, data, "dc")}), NoStreamLog(true), empty},
      {std::nullopt, NoStreamLog(false), empty},
  };
  // clang-format on
}

TEST(ExtractAviAudio, TracesEveryStepAndWritesTheStreamAsAWave) {
  for (const ExtractCase& c : ExtractCases()) {
    SCOPED_TRACE(::testing::PrintToString(c.log));
    test::ScopedWorkDir dir;
    test::WriteBytes("tmp", test::MakeWave8(22050, Pattern(500)));
    EXPECT_TRUE(Extract(c.avi));
    EXPECT_EQ(test::CriticalLogLines(), c.log);
    EXPECT_EQ(test::ReadBytes("tmp"), c.tmp);
  }
}

}  // namespace
