// The extraction against a fake library that fails one step at a time: the
// right line in the right place, no use of an object a failed step did not
// produce, everything obtained released, one FileInit and one FileExit.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "avi/avi_library.h"
#include "avi/avi_writer.h"
#include "avi/extract_avi_audio.h"
#include "support/test_support.h"

namespace {

using avi_test::Bytes;
using avi_test::ExpectedWave;
using avi_test::PcmFormat;
using Lines = std::vector<std::string>;

constexpr int kFailure = 7;

class FakeAviLibrary final : public AviLibrary {
 public:
  int open_result = kAviOk;
  int first_audio_occurrence = 0;  // -1: none
  int info_result = kAviOk;
  int format_size_result = kAviOk;
  std::int32_t format_size = 16;  // reported by the size query
  int format_read_result = kAviOk;
  std::int32_t length = 100;
  int size_query_result = kAviOk;
  std::int32_t byte_count = 4;
  int read_result = kAviOk;
  Bytes format = PcmFormat(1, 22050, 8);
  Bytes data = {1, 2, 3, 4};

  Lines calls;
  int files_held = 0;
  int streams_held = 0;

  void FileInit() override { calls.push_back("FileInit"); }
  int FileOpen(AviFile** file, const std::string& path) override {
    calls.push_back("FileOpen");
    EXPECT_EQ(path, "clip.avi");
    if (open_result != kAviOk) {
      return open_result;
    }
    *file = &file_;
    ++files_held;
    return kAviOk;
  }
  int FileGetStream(AviFile* file, AviStream** stream, std::uint32_t type,
                    std::int32_t occurrence) override {
    calls.push_back("FileGetStream " + std::to_string(occurrence));
    CheckFile(file);
    EXPECT_EQ(type, kStreamTypeAudio);
    if (occurrence != first_audio_occurrence) {
      return kFailure;
    }
    *stream = &stream_;
    ++streams_held;
    return kAviOk;
  }
  int StreamInfo(AviStream* stream, AviStreamInfo& info) override {
    calls.push_back("StreamInfo");
    CheckStream(stream);
    info.bytes.fill(0x5A);
    return info_result;
  }
  std::int32_t StreamStart(AviStream* stream) override {
    calls.push_back("StreamStart");
    CheckStream(stream);
    return 0;
  }
  int StreamReadFormat(AviStream* stream, std::int32_t, void* block, std::int32_t* size) override {
    CheckStream(stream);
    if (block == nullptr) {
      calls.push_back("StreamReadFormat size");
      if (format_size_result == kAviOk) {
        *size = format_size;
      }
      return format_size_result;
    }
    calls.push_back("StreamReadFormat " + std::to_string(*size));
    if (format_read_result == kAviOk) {
      std::copy_n(format.begin(), std::min<std::size_t>(format.size(), std::size_t(*size)),
                  static_cast<std::uint8_t*>(block));
    }
    return format_read_result;
  }
  std::int32_t StreamLength(AviStream* stream) override {
    calls.push_back("StreamLength");
    CheckStream(stream);
    return length;
  }
  int StreamRead(AviStream* stream, std::int32_t start, std::int32_t count, void* buffer,
                 std::int32_t buffer_size, std::int32_t* bytes, std::int32_t* samples) override {
    CheckStream(stream);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(count, kAviStreamReadConvenient);
    if (buffer == nullptr) {
      calls.push_back("StreamRead size");
      EXPECT_EQ(buffer_size, 0);
      if (size_query_result == kAviOk) {
        *bytes = byte_count;
        *samples = byte_count;
      }
      return size_query_result;
    }
    calls.push_back("StreamRead " + std::to_string(buffer_size));
    // A failed read leaves half of what it should have delivered.
    const std::size_t wanted = std::min<std::size_t>(data.size(), std::size_t(buffer_size));
    std::copy_n(data.begin(), read_result == kAviOk ? wanted : wanted / 2,
                static_cast<std::uint8_t*>(buffer));
    return read_result;
  }
  void StreamRelease(AviStream* stream) override {
    calls.push_back("StreamRelease");
    CheckStream(stream);
    --streams_held;
  }
  void FileRelease(AviFile* file) override {
    calls.push_back("FileRelease");
    CheckFile(file);
    --files_held;
  }
  void FileExit() override { calls.push_back("FileExit"); }

 private:
  void CheckFile(AviFile* file) const {
    EXPECT_EQ(file, &file_) << "a file the library did not hand out";
    EXPECT_EQ(files_held, 1);
  }
  void CheckStream(AviStream* stream) const {
    EXPECT_EQ(stream, &stream_) << "a stream the library did not hand out";
    EXPECT_EQ(streams_held, 1);
  }
  AviFile file_;
  AviStream stream_;
};

const Lines kCleanLog = {"Starting Writing AVI File",
                         "Writing AVI File",
                         "Getting AVI Stream",
                         "SEARCHING FOR STREAM",
                         "Getting Format AVI File",
                         "PCMWAVEFORMAT",
                         "Reading AVI File",
                         "8 BITS PER SAMPLE",
                         "Reading Stream Length",
                         "4 STREAM SIZE",
                         "4 STREAM LENGTH",
                         "Reading Stream",
                         "Writing Stream",
                         "Wrote Sound File",
                         "DeAllocated Sound Buffer",
                         "Release Sound Stream",
                         "Release Sound File",
                         "Exit Sound File"};

const Lines kCleanCalls = {"FileInit",        "FileOpen",
                           "FileGetStream 0", "StreamInfo",
                           "StreamStart",     "StreamReadFormat size",
                           "StreamStart",     "StreamReadFormat 16",
                           "StreamLength",    "StreamRead size",
                           "StreamRead 4",    "StreamRelease",
                           "FileRelease",     "FileExit"};

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

struct Case {
  std::string name;
  std::function<void(FakeAviLibrary&)> setup;
  Lines log;
  Lines calls;
  Bytes wave;
};

std::vector<Case> Cases() {
  const Bytes clean_wave = ExpectedWave(EightBitMono(22050), {1, 2, 3, 4});
  const Bytes empty_wave = ExpectedWave(EightBitMono(22050), {});
  const Lines no_stream_tail = {
      "Getting Format AVI File", "Reading AVI File", "Reading Stream Length",
      "0 STREAM SIZE",           "0 STREAM LENGTH",  "Reading Stream",
      "Writing Stream",          "Wrote Sound File", "DeAllocated Sound Buffer"};
  Lines open_failed = {"Starting Writing AVI File", "Writing AVI File", "FAILED TO GET OPEN AVI",
                       "Getting AVI Stream"};
  open_failed.insert(open_failed.end(), no_stream_tail.begin(), no_stream_tail.end());
  open_failed.push_back("Exit Sound File");

  Lines no_stream = {"Starting Writing AVI File", "Writing AVI File", "Getting AVI Stream"};
  no_stream.insert(no_stream.end(), 10, "FOUND LAST STREAM");
  no_stream.insert(no_stream.end(), no_stream_tail.begin(), no_stream_tail.end());
  no_stream.insert(no_stream.end(), {"Release Sound File", "Exit Sound File"});
  Lines no_stream_calls = {"FileInit", "FileOpen"};
  for (int n = 0; n < 10; ++n) {
    no_stream_calls.push_back("FileGetStream " + std::to_string(n));
  }
  no_stream_calls.insert(no_stream_calls.end(), {"FileRelease", "FileExit"});

  const Lines third_try_calls = Edit(kCleanCalls, "FileGetStream 0",
                                     {"FileGetStream 1", "FileGetStream 2", "FileGetStream 3"});

  return {
      {"clean", [](FakeAviLibrary&) {}, kCleanLog, kCleanCalls, clean_wave},
      {"open fails",
       [](FakeAviLibrary& f) { f.open_result = kFailure; },
       open_failed,
       {"FileInit", "FileOpen", "FileExit"},
       empty_wave},
      {"no audio stream", [](FakeAviLibrary& f) { f.first_audio_occurrence = -1; }, no_stream,
       no_stream_calls, empty_wave},
      {"stream found on the fourth try", [](FakeAviLibrary& f) { f.first_audio_occurrence = 3; },
       Edit(kCleanLog, "Getting AVI Stream", Lines(3, "FOUND LAST STREAM")), third_try_calls,
       clean_wave},
      {"stream info fails", [](FakeAviLibrary& f) { f.info_result = kFailure; },
       Edit(kCleanLog, "Getting Format AVI File", {"Failed To Get Stream Info"}), kCleanCalls,
       clean_wave},
      // The size stays 0: an empty block, no bits field, the default header.
      {"format size query fails", [](FakeAviLibrary& f) { f.format_size_result = kFailure; },
       Edit(kCleanLog, "Getting Format AVI File",
            {"FAILED TO GET FORMAT LEN", "FORMAT IS INVALID", "THE SIZE OF THE FORMAT IS:0"},
            {"PCMWAVEFORMAT", "8 BITS PER SAMPLE"}),
       Edit(kCleanCalls, "StreamReadFormat 16", {"StreamReadFormat 0"}, {"StreamReadFormat 16"}),
       clean_wave},
      {"format block can't be allocated",
       [](FakeAviLibrary& f) { f.format_size = -1; },
       Edit(
           kCleanLog, "Getting Format AVI File",
           {"Failed To Allocate Format Chunk", "FORMAT IS INVALID", "THE SIZE OF THE FORMAT IS:-1"},
           {"PCMWAVEFORMAT", "8 BITS PER SAMPLE"}),
       {"FileInit", "FileOpen", "FileGetStream 0", "StreamInfo", "StreamStart",
        "StreamReadFormat size", "StreamLength", "StreamRead size", "StreamRead 4", "StreamRelease",
        "FileRelease", "FileExit"},
       clean_wave},
      {"format read fails",
       [](FakeAviLibrary& f) {
         f.format_read_result = kFailure;
         f.format = PcmFormat(2, 44100, 16);
       },
       Edit(Edit(kCleanLog, "PCMWAVEFORMAT", {"FAILED TO GET format info"}), "Reading AVI File",
            {"0 bits per sample"}, {"8 BITS PER SAMPLE"}),
       kCleanCalls, clean_wave},
      {"length is 0", [](FakeAviLibrary& f) { f.length = 0; },
       Edit(kCleanLog, "Reading AVI File", {"Failed To Get Buffer Length"}), kCleanCalls,
       clean_wave},
      {"size query fails", [](FakeAviLibrary& f) { f.size_query_result = kFailure; },
       Edit(kCleanLog, "Reading Stream Length",
            {"FAILED Reading Stream Length", "100 STREAM SIZE", "0 STREAM LENGTH"},
            {"4 STREAM SIZE", "4 STREAM LENGTH"}),
       Edit(kCleanCalls, "StreamRead size", {"StreamRead 0"}, {"StreamRead 4"}), empty_wave},
      {"sound buffer can't be allocated", [](FakeAviLibrary& f) { f.byte_count = -5; },
       Edit(Edit(kCleanLog, "Reading Stream Length", {"-5 STREAM SIZE", "-5 STREAM LENGTH"},
                 {"4 STREAM SIZE", "4 STREAM LENGTH"}),
            "Reading Stream", {"Failed To Allocate Sound Buffer"}),
       Edit(kCleanCalls, "FileInit", {}, {"StreamRead 4"}), empty_wave},
      {"read fails", [](FakeAviLibrary& f) { f.read_result = kFailure; },
       Edit(kCleanLog, "Reading Stream", {"FAILED TO READ STREAM"}), kCleanCalls,
       ExpectedWave(EightBitMono(22050), {1, 2, 0, 0})},
  };
}

TEST(ExtractAviAudioSteps, EachFailureIsLoggedInPlaceAndNothingMissingIsUsed) {
  for (Case c : Cases()) {
    SCOPED_TRACE(c.name);
    test::ScopedWorkDir dir;
    FakeAviLibrary library;
    c.setup(library);
    EXPECT_TRUE(ExtractAviAudio(library, "clip.avi", "tmp"));
    EXPECT_EQ(test::CriticalLogLines(), c.log);
    EXPECT_EQ(library.calls, c.calls);
    EXPECT_EQ(test::ReadBytes("tmp"), c.wave);
    EXPECT_EQ(library.files_held, 0);
    EXPECT_EQ(library.streams_held, 0);
    EXPECT_EQ(std::count(library.calls.begin(), library.calls.end(), "FileInit"), 1);
    EXPECT_EQ(std::count(library.calls.begin(), library.calls.end(), "FileExit"), 1);
  }
}

}  // namespace
