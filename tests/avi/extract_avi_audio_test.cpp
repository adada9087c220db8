#include "avi/extract_avi_audio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "avi/avi_library.h"
#include "avi/avi_writer.h"
#include "avi/extracted_wave.h"
#include "riff/replacement_file.h"
#include "support/test_support.h"

namespace {

using avi_test::Bytes;
using avi_test::Pattern;
using avi_test::PcmFormat;
using Lines = std::vector<std::string>;

constexpr int kFailure = 7;

// clang-format off
// The extraction log of a stream found on the first try.
Lines CleanLog(const Lines& format_lines, const std::string& bits_line, int samples, int bytes) {
  Lines lines = {"Starting Writing AVI File", "Writing AVI File", "Getting AVI Stream",
                 "SEARCHING FOR STREAM", "Getting Format AVI File"};
  lines.insert(lines.end(), format_lines.begin(), format_lines.end());
  lines.push_back("Reading AVI File");
  if (!bits_line.empty()) {
    lines.push_back(bits_line);
  }
  const Lines tail = {"Reading Stream Length", std::to_string(samples) + " STREAM SIZE",
                      std::to_string(bytes) + " STREAM LENGTH", "Reading Stream", "Writing Stream",
                      "Wrote Sound File", "DeAllocated Sound Buffer", "Release Sound Stream",
                      "Release Sound File", "Exit Sound File"};
  lines.insert(lines.end(), tail.begin(), tail.end());
  return lines;
}

// Without a stream: nothing to release but the file, an empty "tmp".
const Lines kNoStreamTail = {"Getting Format AVI File", "Reading AVI File", "Reading Stream Length",
                             "0 STREAM SIZE", "0 STREAM LENGTH", "Reading Stream", "Writing Stream",
                             "Wrote Sound File", "DeAllocated Sound Buffer"};
// clang-format on

Lines NoStreamLog() {
  Lines lines = {"Starting Writing AVI File", "Writing AVI File", "Getting AVI Stream"};
  lines.insert(lines.end(), 10, "FOUND LAST STREAM");
  lines.insert(lines.end(), kNoStreamTail.begin(), kNoStreamTail.end());
  lines.insert(lines.end(), {"Release Sound File", "Exit Sound File"});
  return lines;
}

Lines OpenFailedLog() {
  Lines lines = {"Starting Writing AVI File", "Writing AVI File", "FAILED TO GET OPEN AVI",
                 "Getting AVI Stream"};
  lines.insert(lines.end(), kNoStreamTail.begin(), kNoStreamTail.end());
  lines.push_back("Exit Sound File");
  return lines;
}

// ---- The steps against a fake library that fails one step at a time -------

class FakeAviLibrary final : public AviLibrary {
 public:
  std::map<std::string, int> results;  // by step name; kAviOk when absent
  int first_audio_occurrence = 0;      // -1: none
  std::int32_t format_size = 16;
  std::int32_t length = 100;
  std::int32_t byte_count = 4;
  Bytes format = PcmFormat(1, 22050, 8);
  Lines calls;
  int files_held = 0;
  int streams_held = 0;

  void FileInit() override { calls.push_back("FileInit"); }
  int FileOpen(AviFile** file, const std::string& path) override {
    EXPECT_EQ(path, "clip.avi");
    calls.push_back("FileOpen");
    const int result = results["FileOpen"];
    if (result == kAviOk) {
      *file = &file_;
      ++files_held;
    }
    return result;
  }
  int FileGetStream(AviFile* file, AviStream** stream, std::uint32_t type,
                    std::int32_t occurrence) override {
    Step("FileGetStream", file, " " + std::to_string(occurrence));
    EXPECT_EQ(type, kStreamTypeAudio);
    if (occurrence != first_audio_occurrence) {
      return kFailure;
    }
    *stream = &stream_;
    ++streams_held;
    return kAviOk;
  }
  int StreamInfo(AviStream* stream, AviStreamInfo& info) override {
    info.bytes.fill(0x5A);
    return Step("StreamInfo", stream);
  }
  std::int32_t StreamStart(AviStream* stream) override { return Step("StreamStart", stream); }
  int StreamReadFormat(AviStream* stream, std::int32_t, void* block, std::int32_t* size) override {
    if (block == nullptr) {
      const int result = Step("StreamReadFormat size", stream);
      *size = result == kAviOk ? format_size : *size;
      return result;
    }
    const int result = Step("StreamReadFormat", stream, " " + std::to_string(*size));
    if (result == kAviOk) {
      std::copy_n(format.begin(), std::min<std::size_t>(format.size(), std::size_t(*size)),
                  static_cast<std::uint8_t*>(block));
    }
    return result;
  }
  std::int32_t StreamLength(AviStream* stream) override {
    Step("StreamLength", stream);
    return length;
  }
  int StreamRead(AviStream* stream, std::int32_t start, std::int32_t count, void* buffer,
                 std::int32_t buffer_size, std::int32_t* bytes, std::int32_t* samples) override {
    EXPECT_EQ(start, 0);
    EXPECT_EQ(count, kAviStreamReadConvenient);
    if (buffer == nullptr) {
      EXPECT_EQ(buffer_size, 0);
      const int result = Step("StreamRead size", stream);
      if (result == kAviOk) {
        *bytes = *samples = byte_count;
      }
      return result;
    }
    const int result = Step("StreamRead", stream, " " + std::to_string(buffer_size));
    // A failed read leaves half of what it should have delivered.
    const Bytes data = {1, 2, 3, 4};
    const std::size_t wanted = std::min<std::size_t>(data.size(), std::size_t(buffer_size));
    std::copy_n(data.begin(), result == kAviOk ? wanted : wanted / 2,
                static_cast<std::uint8_t*>(buffer));
    return result;
  }
  void StreamRelease(AviStream* stream) override {
    Step("StreamRelease", stream);
    --streams_held;
  }
  void FileRelease(AviFile* file) override {
    Step("FileRelease", file);
    --files_held;
  }
  void FileExit() override { calls.push_back("FileExit"); }

 private:
  // Records the call; only objects this library handed out may be used.
  int Step(const std::string& step, const void* handle, const std::string& detail = "") {
    calls.push_back(step + detail);
    const bool file = handle == &file_;
    EXPECT_TRUE(file || handle == &stream_) << step << ": not handed out";
    EXPECT_EQ(file ? files_held : streams_held, 1) << step;
    return results[step];
  }
  AviFile file_;
  AviStream stream_;
};

// clang-format off
const Lines kCleanCalls = {"FileInit", "FileOpen", "FileGetStream 0", "StreamInfo", "StreamStart",
                           "StreamReadFormat size", "StreamStart", "StreamReadFormat 16",
                           "StreamLength", "StreamRead size", "StreamRead 4", "StreamRelease",
                           "FileRelease", "FileExit"};
// clang-format on

// Lines with `added` after the first `anchor` and without `removed`.
Lines Edit(Lines lines, const std::string& anchor, const Lines& added, const Lines& removed = {}) {
  const auto at = std::find(lines.begin(), lines.end(), anchor);
  EXPECT_NE(at, lines.end()) << anchor;
  lines.insert(at + 1, added.begin(), added.end());
  for (const std::string& line : removed) {
    const auto gone = std::find(lines.begin(), lines.end(), line);
    EXPECT_NE(gone, lines.end()) << line;
    lines.erase(gone);
  }
  return lines;
}

struct StepCase {
  std::string name;
  std::function<void(FakeAviLibrary&)> setup;
  Lines log;
  Lines calls;
  Bytes data;  // after the header in "tmp"
};

std::vector<StepCase> StepCases() {
  const Lines clean = CleanLog({"PCMWAVEFORMAT"}, "8 BITS PER SAMPLE", 4, 4);
  const Bytes four = {1, 2, 3, 4};
  Lines no_stream_calls = {"FileInit", "FileOpen"};
  for (int n = 0; n < 10; ++n) {
    no_stream_calls.push_back("FileGetStream " + std::to_string(n));
  }
  no_stream_calls.insert(no_stream_calls.end(), {"FileRelease", "FileExit"});

  // clang-format off
  return {
      {"clean", [](FakeAviLibrary&) {}, clean, kCleanCalls, four},
      {"open fails", [](FakeAviLibrary& f) { f.results["FileOpen"] = kFailure; }, OpenFailedLog(),
       {"FileInit", "FileOpen", "FileExit"}, {}},
      {"no audio stream", [](FakeAviLibrary& f) { f.first_audio_occurrence = -1; }, NoStreamLog(),
       no_stream_calls, {}},
      {"stream found on the fourth try", [](FakeAviLibrary& f) { f.first_audio_occurrence = 3; },
       Edit(clean, "Getting AVI Stream", Lines(3, "FOUND LAST STREAM")),
       Edit(kCleanCalls, "FileGetStream 0", {"FileGetStream 1", "FileGetStream 2", "FileGetStream 3"}),
       four},
      {"stream info fails", [](FakeAviLibrary& f) { f.results["StreamInfo"] = kFailure; },
       Edit(clean, "Getting Format AVI File", {"Failed To Get Stream Info"}), kCleanCalls, four},
      // The size stays 0: an empty block, no bits field, the default header.
      {"format size query fails", [](FakeAviLibrary& f) { f.results["StreamReadFormat size"] = kFailure; },
       Edit(clean, "Getting Format AVI File",
            {"FAILED TO GET FORMAT LEN", "FORMAT IS INVALID", "THE SIZE OF THE FORMAT IS:0"},
            {"PCMWAVEFORMAT", "8 BITS PER SAMPLE"}),
       Edit(kCleanCalls, "StreamReadFormat 16", {"StreamReadFormat 0"}, {"StreamReadFormat 16"}), four},
      {"format block can't be allocated", [](FakeAviLibrary& f) { f.format_size = -1; },
       Edit(clean, "Getting Format AVI File",
            {"Failed To Allocate Format Chunk", "FORMAT IS INVALID", "THE SIZE OF THE FORMAT IS:-1"},
            {"PCMWAVEFORMAT", "8 BITS PER SAMPLE"}),
       {"FileInit", "FileOpen", "FileGetStream 0", "StreamInfo", "StreamStart", "StreamReadFormat size",
        "StreamLength", "StreamRead size", "StreamRead 4", "StreamRelease", "FileRelease", "FileExit"},
       four},
      {"format read fails",
       [](FakeAviLibrary& f) {
         f.results["StreamReadFormat"] = kFailure;
         f.format = PcmFormat(2, 44100, 16);
       },
       Edit(Edit(clean, "PCMWAVEFORMAT", {"FAILED TO GET format info"}), "Reading AVI File",
            {"0 bits per sample"}, {"8 BITS PER SAMPLE"}),
       kCleanCalls, four},
      {"length is 0", [](FakeAviLibrary& f) { f.length = 0; },
       Edit(clean, "Reading AVI File", {"Failed To Get Buffer Length"}), kCleanCalls, four},
      {"size query fails", [](FakeAviLibrary& f) { f.results["StreamRead size"] = kFailure; },
       Edit(clean, "Reading Stream Length",
            {"FAILED Reading Stream Length", "100 STREAM SIZE", "0 STREAM LENGTH"},
            {"4 STREAM SIZE", "4 STREAM LENGTH"}),
       Edit(kCleanCalls, "StreamRead size", {"StreamRead 0"}, {"StreamRead 4"}), {}},
      {"sound buffer can't be allocated", [](FakeAviLibrary& f) { f.byte_count = -5; },
       Edit(Edit(clean, "Reading Stream Length", {"-5 STREAM SIZE", "-5 STREAM LENGTH"},
                 {"4 STREAM SIZE", "4 STREAM LENGTH"}),
            "Reading Stream", {"Failed To Allocate Sound Buffer"}),
       Edit(kCleanCalls, "FileInit", {}, {"StreamRead 4"}), {}},
      {"read fails", [](FakeAviLibrary& f) { f.results["StreamRead"] = kFailure; },
       Edit(clean, "Reading Stream", {"FAILED TO READ STREAM"}), kCleanCalls, {1, 2, 0, 0}},
  };
  // clang-format on
}

// The right line in the right place, no use of an object a failed step did
// not produce, everything obtained released, one FileInit and one FileExit,
// and a stale "tmp" always replaced.
TEST(ExtractAviAudioSteps, EachFailureIsLoggedInPlaceAndNothingMissingIsUsed) {
  for (StepCase c : StepCases()) {
    SCOPED_TRACE(c.name);
    test::ScopedWorkDir dir;
    test::WriteBytes("tmp", test::MakeWave8(22050, Pattern(500)));
    FakeAviLibrary library;
    c.setup(library);
    ReplacementFile wave("tmp");
    EXPECT_TRUE(ExtractAviAudio(library, "clip.avi", wave));
    EXPECT_EQ(test::CriticalLogLines(), c.log);
    EXPECT_EQ(library.calls, c.calls);
    EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(22050, c.data));
    EXPECT_EQ(library.files_held, 0);
    EXPECT_EQ(library.streams_held, 0);
  }
}

// ---- The extraction from real files ------------------------------------

bool ExtractFile(const std::string& path) {
  ReplacementFile wave("tmp");
  return ExtractAviAudio(path, wave);
}

bool Extract(const Bytes& avi) {
  test::WriteBytes("clip.avi", avi);
  return ExtractFile("clip.avi");
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

// The header carries a PCM stream's own format (ExtractedWaveFormat below) so
// that the WAVE reader times it right; the bytes are copied unchanged.
TEST(ExtractAviAudio, TheFormatRecordDecidesTheLogAndTheHeader) {
  Bytes mp3 = PcmFormat(2, 44100, 0, 30, 0x55);
  mp3[12] = 1;  // nBlockAlign
  struct Case {
    Bytes record;
    Lines format_lines;
    std::string bits_line;
    int samples;
    test::WaveFileOptions header;
  };
  const test::WaveFileOptions mono16 = {.bits_per_sample = 16};
  const std::string bits16 = "16 BITS PER SAMPLE";
  // clang-format off
  const Case cases[] = {
      {PcmFormat(1, 22050, 16), {"PCMWAVEFORMAT"}, bits16, 2400, mono16},
      {PcmFormat(1, 22050, 16, 14), {"WAVEFORMAT"}, "", 2400, mono16},  // no bits field
      {PcmFormat(1, 22050, 16, 18), {"WAVEFORMATEX"}, bits16, 2400, mono16},
      {PcmFormat(1, 22050, 16, 50), {"FORMAT IS INVALID", "THE SIZE OF THE FORMAT IS:50"}, bits16,
       2400, mono16},
      // Labelled as such: the WAVE reader then refuses it rather than reading
      // three samples out of each one.
      {PcmFormat(1, 22050, 24), {"PCMWAVEFORMAT"}, "24 BITS PER SAMPLE", 1600,
       {.bits_per_sample = 24}},
      // Compressed audio (MPEG layer 3) keeps the 8-bit mono 22050 label.
      {mp3, {"FORMAT IS INVALID", "THE SIZE OF THE FORMAT IS:30"}, "0 bits per sample", 4800, {}},
  };
  // clang-format on
  const Bytes data = Pattern(4800);
  for (const Case& c : cases) {
    test::ScopedWorkDir dir;
    Extract(avi_test::AudioOnlyAvi(c.record, data));
    EXPECT_EQ(test::CriticalLogLines(), CleanLog(c.format_lines, c.bits_line, c.samples, 4800))
        << c.format_lines[0] << " " << c.record.size();
    EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave(c.header, data)) << c.record.size();
  }
}

// Without a stream "tmp" is still written, empty, so an earlier recording in
// "tmp" is not taken for the video's sound.
TEST(ExtractAviAudio, NoAudioStreamOrNoAviFileGivesAnEmptyWave) {
  const std::pair<Bytes, Lines> cases[] = {
      {avi_test::MakeAvi({avi_test::Video()}, {avi_test::DataChunk(0, Bytes(100, 0), "dc")}),
       NoStreamLog()},
      {Bytes{}, OpenFailedLog()},
      {Pattern(3000), OpenFailedLog()},
      {test::MakeWave8(22050, Pattern(10)), OpenFailedLog()},
  };
  for (const auto& [file, log] : cases) {
    test::ScopedWorkDir dir;
    test::WriteBytes("tmp", test::MakeWave8(22050, Pattern(500)));
    EXPECT_TRUE(Extract(file));
    EXPECT_EQ(test::CriticalLogLines(), log);
    EXPECT_EQ(test::ReadBytes("tmp"), test::MakeWave8(22050, {}));
  }
  test::ScopedWorkDir dir;
  EXPECT_TRUE(ExtractFile("missing.avi"));
  EXPECT_EQ(test::CriticalLogLines(), OpenFailedLog());
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
  EXPECT_TRUE(std::filesystem::is_directory("tmp"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 3) << "no part file left";
}

Bytes WithU16(Bytes record, std::size_t offset, std::uint16_t value) {
  record[offset] = static_cast<std::uint8_t>(value & 0xFF);
  record[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  return record;
}

TEST(ExtractedWaveFormat, TakesPcmFieldsAndFallsBackToEightBitMono) {
  struct Case {
    std::string name;
    Bytes record;
    WaveFormat expected;  // tag, channels, rate, block align, bits
  };
  const WaveFormat fallback = EightBitMono(22050);
  // clang-format off
  const Case cases[] = {
      {"PCMWAVEFORMAT", PcmFormat(2, 44100, 16), {1, 2, 44100, 4, 16}},
      {"WAVEFORMATEX", PcmFormat(1, 48000, 16, 18), {1, 1, 48000, 2, 16}},
      {"WAVEFORMAT: bits from block align", PcmFormat(2, 11025, 8, 14), {1, 2, 11025, 2, 8}},
      {"bits 0: from block align", WithU16(PcmFormat(1, 8000, 16), 14, 0), {1, 1, 8000, 2, 16}},
      {"compressed", PcmFormat(2, 44100, 16, 20, 0x55), fallback},
      {"too short", PcmFormat(2, 44100, 16, 12), fallback},
      {"no channels", WithU16(PcmFormat(1, 44100, 16), 2, 0), fallback},
      {"rate 0", PcmFormat(1, 0, 16), fallback},
      {"block align 0", WithU16(PcmFormat(1, 44100, 16), 12, 0), fallback},
      {"block align below channels, no bits", WithU16(PcmFormat(4, 44100, 0, 14), 12, 2), fallback},
      {"no record", {}, fallback},
  };
  // clang-format on
  for (const Case& c : cases) {
    const WaveFormat f =
        ExtractedWaveFormat(c.record.empty() ? nullptr : c.record.data(), c.record.size());
    const WaveFormat& e = c.expected;
    EXPECT_TRUE(f.format_tag == e.format_tag && f.channels == e.channels &&
                f.sample_rate == e.sample_rate && f.block_align == e.block_align &&
                f.bits_per_sample == e.bits_per_sample)
        << c.name;
  }
}

}  // namespace
