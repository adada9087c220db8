#include "avi/riff_avi_library.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <limits>

#include "avi/avi_writer.h"
#include "support/test_support.h"

namespace {

using avi_test::Audio;
using avi_test::AudioOnlyAvi;
using avi_test::Bytes;
using avi_test::Chunk;
using avi_test::DataChunk;
using avi_test::List;
using avi_test::MakeAvi;
using avi_test::Pattern;
using avi_test::PcmFormat;
using avi_test::Riff;
using avi_test::Video;

constexpr std::int32_t kAll = kAviStreamReadConvenient;

// What the library gives for one audio stream of a file.
struct Track {
  bool opened = false;
  bool found = false;
  Bytes format;
  std::int32_t length = 0;
  std::int32_t samples = 0;
  Bytes data;
};

Track ReadTrack(const Bytes& file_bytes, std::int32_t occurrence = 0) {
  test::WriteBytes("in.avi", file_bytes);
  RiffAviLibrary library;
  Track track;
  AviFile* file = nullptr;
  AviStream* stream = nullptr;
  track.opened = library.FileOpen(&file, "in.avi") == kAviOk;
  track.found =
      track.opened && library.FileGetStream(file, &stream, kStreamTypeAudio, occurrence) == kAviOk;
  if (track.found) {
    std::int32_t size = -1;
    EXPECT_EQ(library.StreamReadFormat(stream, 0, nullptr, &size), kAviOk);
    track.format.resize(static_cast<std::size_t>(size));
    EXPECT_EQ(library.StreamReadFormat(stream, 0, track.format.data(), &size), kAviOk);
    track.length = library.StreamLength(stream);
    EXPECT_EQ(library.StreamRead(stream, 0, kAll, nullptr, 0, &size, &track.samples), kAviOk);
    track.data.resize(static_cast<std::size_t>(size));
    std::int32_t delivered = -1;
    EXPECT_EQ(library.StreamRead(stream, 0, kAll, track.data.data(), size, &delivered, nullptr),
              kAviOk);
    EXPECT_EQ(delivered, size);
    library.StreamRelease(stream);
  }
  if (track.opened) {
    library.FileRelease(file);
  }
  return track;
}

TEST(RiffAviLibrary, DeliversTheFormatRecordAndAllDataChunksWithTheLength) {
  test::ScopedWorkDir dir;
  const Bytes format = PcmFormat(2, 44100, 16, 18);
  const Track track = ReadTrack(AudioOnlyAvi(format, Pattern(10000), 2500));
  ASSERT_TRUE(track.found);
  EXPECT_EQ(track.format, format);
  EXPECT_EQ(track.data, Pattern(10000));
  EXPECT_EQ(track.length, 2500);
  EXPECT_EQ(track.samples, 2500);  // 4-byte blocks
  // Without a length in the header: from the data, one byte per sample
  // without a format record.
  EXPECT_EQ(ReadTrack(AudioOnlyAvi(PcmFormat(1, 22050, 16), Pattern(600))).length, 300);
  EXPECT_EQ(ReadTrack(AudioOnlyAvi(Bytes{}, Pattern(600))).length, 600);
}

// Chunk ids number the streams among all streams, video included.
TEST(RiffAviLibrary, TakesTheNthAudioStreamAndOnlyItsChunks) {
  test::ScopedWorkDir dir;
  const Bytes first = Pattern(300, 1);
  const Bytes second = Pattern(200, 2);
  const Bytes format_a = PcmFormat(1, 22050, 8);
  const Bytes format_b = PcmFormat(1, 11025, 8);
  const Bytes frame(50, 0xEE);
  const Bytes video_between =
      MakeAvi({Audio(format_a), Video(), Audio(format_b)},
              {DataChunk(1, frame, "dc"), DataChunk(2, second), DataChunk(0, first),
               DataChunk(1, frame, "dc"), DataChunk(2, second)});
  EXPECT_EQ(ReadTrack(video_between, 0).format, format_a);
  EXPECT_EQ(ReadTrack(video_between, 0).data, first);
  EXPECT_EQ(ReadTrack(video_between, 1).format, format_b);
  EXPECT_EQ(ReadTrack(video_between, 1).data, avi_test::Concat({second, second}));
  EXPECT_FALSE(ReadTrack(video_between, 2).found);
  const Bytes video_first = MakeAvi({Video(), Audio(format_a), Audio(format_b)},
                                    {DataChunk(0, frame, "dc"), DataChunk(0, Pattern(70, 9)),
                                     DataChunk(1, first), DataChunk(2, second)});
  EXPECT_EQ(ReadTrack(video_first, 0).data, first);
}

TEST(RiffAviLibrary, WalksRecListsPadBytesOtherChunksAndOpenDmlParts) {
  test::ScopedWorkDir dir;
  const Bytes a = Pattern(333, 1);  // odd: a pad byte follows
  const Bytes b = Pattern(1, 2);
  const Bytes c = Pattern(500, 3);
  const Bytes d = Pattern(77, 4);
  const Bytes e = Pattern(64, 5);
  const Bytes file = MakeAvi(
      {Video(), Audio(PcmFormat(1, 22050, 8))},
      {DataChunk(1, a), Chunk("JUNK", Bytes(3, 0x01)),
       List("rec ", {DataChunk(0, Bytes(9, 0), "dc"), DataChunk(1, b), DataChunk(1, Bytes{})}),
       Chunk("ix01", Bytes(24, 0x01)), List("rec ", {DataChunk(1, c)})},
      {Riff("AVIX", {List("movi", {DataChunk(1, d), DataChunk(0, Bytes(5, 0), "dc")})}),
       Riff("AVIX",
            {Chunk("JUNK", Bytes(2, 0)), List("movi", {List("rec ", {DataChunk(1, e)})})})});
  EXPECT_EQ(ReadTrack(file).data, avi_test::Concat({a, b, c, d, e}));
}

// A file cut short anywhere gives a prefix of the stream's data: the chunk at
// the cut keeps the bytes that are there.
TEST(RiffAviLibrary, FileCutAnywhereGivesAPrefixOfTheData) {
  test::ScopedWorkDir dir;
  const Bytes data = Pattern(1001);
  const Bytes file = MakeAvi({Audio(PcmFormat(1, 22050, 8))}, avi_test::DataChunks(0, data, 250),
                             {Riff("AVIX", {List("movi", {DataChunk(0, Pattern(99, 7))})})});
  const Bytes full = avi_test::Concat({data, Pattern(99, 7)});
  std::size_t longest = 0;
  for (std::size_t cut = 0; cut <= file.size(); ++cut) {
    const Track track = ReadTrack(Bytes(file.begin(), file.begin() + static_cast<long>(cut)));
    ASSERT_LE(track.data.size(), full.size()) << cut;
    ASSERT_TRUE(std::equal(track.data.begin(), track.data.end(), full.begin())) << cut;
    ASSERT_GE(track.data.size(), longest) << cut;
    longest = track.data.size();
  }
  EXPECT_EQ(longest, full.size());
}

TEST(RiffAviLibrary, BadChunksEndTheWalkWithWhatWasReadBefore) {
  test::ScopedWorkDir dir;
  const Bytes good = Pattern(100);
  const auto Walk = [&](const Bytes& bad) {
    return ReadTrack(MakeAvi({Audio(PcmFormat(1, 22050, 8))},
                             {DataChunk(0, good), bad, DataChunk(0, good)}))
        .data;
  };
  // More than its list holds, where the list ends before the file does.
  Bytes overrun = DataChunk(0, Pattern(10, 3));
  overrun[4] = overrun[5] = 0xFF;
  EXPECT_EQ(Walk(overrun), good);
  Bytes nested = DataChunk(0, good);
  for (int depth = 0; depth < 20; ++depth) {
    nested = List("rec ", {nested});
  }
  EXPECT_EQ(Walk(nested), good) << "rec lists nested far too deep";
  EXPECT_EQ(Walk(Chunk("LIST", Bytes{1, 2})), good) << "a list too short for its type";
}

// A FIFO would block the open until someone writes to it.
TEST(RiffAviLibrary, RejectsWhatIsNotAnAviFile) {
  test::ScopedWorkDir dir;
  for (const Bytes& file :
       {Bytes{}, Bytes{'R', 'I', 'F', 'F'}, Pattern(5000), test::MakeWave8(22050, Pattern(100)),
        Riff("AVI ", {List("movi", {DataChunk(0, Pattern(10))})})}) {
    EXPECT_FALSE(ReadTrack(file).opened) << file.size();
  }
  EXPECT_FALSE(ReadTrack(MakeAvi({Video()}, {})).found) << "no audio stream";
  std::filesystem::create_directory("folder.avi");
  ASSERT_EQ(mkfifo("fifo.avi", 0600), 0);
  RiffAviLibrary library;
  for (const char* path : {"missing.avi", "folder.avi", "fifo.avi"}) {
    AviFile* file = nullptr;
    EXPECT_NE(library.FileOpen(&file, path), kAviOk) << path;
    EXPECT_EQ(file, nullptr) << path;
  }
}

// Sizes and counts from the file never turn into allocations or reads larger
// than the file.
TEST(RiffAviLibrary, HugeSizesAndCountsStayWithinTheFile) {
  test::ScopedWorkDir dir;
  Bytes huge_format = MakeAvi({Audio(Pattern(20))}, {DataChunk(0, Pattern(10))});
  const Bytes strf = {'s', 't', 'r', 'f', 20, 0, 0, 0};
  const auto at = std::search(huge_format.begin(), huge_format.end(), strf.begin(), strf.end());
  ASSERT_NE(at, huge_format.end());
  std::fill(at + 4, at + 8, 0xFF);
  at[4] = 0xF0;
  EXPECT_FALSE(ReadTrack(huge_format).found);

  avi_test::StreamHeader long_stream = Audio(PcmFormat(1, 22050, 8), 0xFFFFFFF0U);
  long_stream.start = 0xFFFFFFF0U;
  const Track track = ReadTrack(MakeAvi({long_stream}, {DataChunk(0, Pattern(10))}));
  EXPECT_EQ(track.length, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(track.data, Pattern(10));

  std::vector<avi_test::StreamHeader> streams(100, Video());  // ids have room for 00 to 99
  streams.push_back(Audio(PcmFormat(1, 22050, 8)));
  EXPECT_FALSE(ReadTrack(MakeAvi(streams, {})).found);
}

TEST(RiffAviLibrary, PartialReadsAndHandles) {
  test::ScopedWorkDir dir;
  const Bytes data = Pattern(20);
  test::WriteBytes("in.avi",
                   MakeAvi({Audio(PcmFormat(1, 22050, 16))}, avi_test::DataChunks(0, data, 6)));
  RiffAviLibrary library;
  AviFile* file = nullptr;
  ASSERT_EQ(library.FileOpen(&file, "in.avi"), kAviOk);
  AviStream* stream = nullptr;
  ASSERT_EQ(library.FileGetStream(file, &stream, kStreamTypeAudio, 0), kAviOk);
  AviStream* other = nullptr;
  EXPECT_NE(library.FileGetStream(file, &other, 0x73646976 /* vids */, 0), kAviOk);
  EXPECT_EQ(other, nullptr);
  library.FileRelease(file);  // the stream stays readable

  Bytes buffer(20, 0xAA);
  std::int32_t bytes = 0;
  std::int32_t samples = 0;
  // Samples 3 and 4 of 2-byte samples: bytes 6 to 9, across a chunk border.
  ASSERT_EQ(library.StreamRead(stream, 3, 2, buffer.data(), 20, &bytes, &samples), kAviOk);
  EXPECT_EQ(bytes, 4);
  EXPECT_EQ(samples, 2);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), Bytes(data.begin() + 6, data.begin() + 10));
  // A buffer smaller than the stream takes what fits.
  ASSERT_EQ(library.StreamRead(stream, 8, kAll, buffer.data(), 3, &bytes, nullptr), kAviOk);
  EXPECT_EQ(bytes, 3);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), Bytes(data.begin() + 16, data.begin() + 19));
  for (const std::int32_t start : {11, -1}) {
    EXPECT_NE(library.StreamRead(stream, start, kAll, nullptr, 0, &bytes, nullptr), kAviOk)
        << start;
  }
  AviStreamInfo info;
  EXPECT_EQ(library.StreamInfo(stream, info), kAviOk);
  library.StreamRelease(stream);
  // Released handles are unknown from then on.
  EXPECT_NE(library.StreamInfo(stream, info), kAviOk);
  EXPECT_NE(library.StreamRead(stream, 0, kAll, nullptr, 0, &bytes, nullptr), kAviOk);
  EXPECT_NE(library.FileGetStream(file, &stream, kStreamTypeAudio, 0), kAviOk);
}

}  // namespace
