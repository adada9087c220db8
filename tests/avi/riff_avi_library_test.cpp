#include "avi/riff_avi_library.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <limits>

#include "avi/avi_writer.h"
#include "support/test_support.h"

namespace {

using avi_test::Audio;
using avi_test::Bytes;
using avi_test::Chunk;
using avi_test::DataChunk;
using avi_test::List;
using avi_test::MakeAvi;
using avi_test::Pattern;
using avi_test::PcmFormat;
using avi_test::Riff;
using avi_test::Video;

constexpr const char* kAviName = "in.avi";

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
  test::WriteBytes(kAviName, file_bytes);
  RiffAviLibrary library;
  Track track;
  AviFile* file = nullptr;
  track.opened = library.FileOpen(&file, kAviName) == kAviOk;
  if (!track.opened) {
    return track;
  }
  AviStream* stream = nullptr;
  track.found = library.FileGetStream(file, &stream, kStreamTypeAudio, occurrence) == kAviOk;
  if (track.found) {
    std::int32_t format_size = -1;
    EXPECT_EQ(library.StreamReadFormat(stream, 0, nullptr, &format_size), kAviOk);
    track.format.resize(static_cast<std::size_t>(format_size));
    EXPECT_EQ(library.StreamReadFormat(stream, 0, track.format.data(), &format_size), kAviOk);
    track.length = library.StreamLength(stream);
    std::int32_t bytes = -1;
    EXPECT_EQ(
        library.StreamRead(stream, 0, kAviStreamReadConvenient, nullptr, 0, &bytes, &track.samples),
        kAviOk);
    track.data.resize(static_cast<std::size_t>(bytes));
    std::int32_t delivered = -1;
    EXPECT_EQ(library.StreamRead(stream, 0, kAviStreamReadConvenient, track.data.data(), bytes,
                                 &delivered, nullptr),
              kAviOk);
    EXPECT_EQ(delivered, bytes);
    library.StreamRelease(stream);
  }
  library.FileRelease(file);
  return track;
}

TEST(RiffAviLibrary, DeliversTheFormatRecordAndAllDataChunksInFileOrder) {
  test::ScopedWorkDir dir;
  const Bytes format = PcmFormat(2, 44100, 16, 18);
  const Bytes data = Pattern(10000);
  const Track track = ReadTrack(avi_test::AudioOnlyAvi(format, data, 2500));

  ASSERT_TRUE(track.found);
  EXPECT_EQ(track.format, format);
  EXPECT_EQ(track.data, data);
  EXPECT_EQ(track.length, 2500);
  EXPECT_EQ(track.samples, 2500);  // 4-byte blocks
}

TEST(RiffAviLibrary, LengthFallsBackToTheDataWhenTheHeaderHasNone) {
  test::ScopedWorkDir dir;
  EXPECT_EQ(ReadTrack(avi_test::AudioOnlyAvi(PcmFormat(1, 22050, 16), Pattern(600))).length, 300);
  // No format record either: one byte per sample.
  EXPECT_EQ(ReadTrack(avi_test::AudioOnlyAvi(Bytes{}, Pattern(600))).length, 600);
}

// Chunk ids number the streams among all streams, video included.
TEST(RiffAviLibrary, TakesTheNthAudioStreamAndOnlyItsChunks) {
  test::ScopedWorkDir dir;
  const Bytes first = Pattern(300, 1);
  const Bytes second = Pattern(200, 2);
  const Bytes format_a = PcmFormat(1, 22050, 8);
  const Bytes format_b = PcmFormat(1, 11025, 8);
  const Bytes video_frame(50, 0xEE);

  const Bytes video_between =
      MakeAvi({Audio(format_a), Video(), Audio(format_b)},
              {DataChunk(1, video_frame, "dc"), DataChunk(2, second), DataChunk(0, first),
               DataChunk(1, video_frame, "dc"), DataChunk(2, second)});
  Track track = ReadTrack(video_between, 0);
  EXPECT_EQ(track.format, format_a);
  EXPECT_EQ(track.data, first);
  track = ReadTrack(video_between, 1);
  EXPECT_EQ(track.format, format_b);
  EXPECT_EQ(track.data, avi_test::Concat({second, second}));
  EXPECT_FALSE(ReadTrack(video_between, 2).found);

  const Bytes video_first = MakeAvi({Video(), Audio(format_a), Audio(format_b)},
                                    {DataChunk(0, video_frame, "dc"), DataChunk(0, Pattern(70, 9)),
                                     DataChunk(1, first), DataChunk(2, second)});
  track = ReadTrack(video_first, 0);
  EXPECT_EQ(track.format, format_a);
  EXPECT_EQ(track.data, first);
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

// Every prefix of a file (a file cut short anywhere) gives a prefix of the
// stream's data: the chunk at the cut keeps the bytes that are there.
TEST(RiffAviLibrary, FileCutAnywhereGivesAPrefixOfTheData) {
  test::ScopedWorkDir dir;
  const Bytes data = Pattern(1001);
  const Bytes file = MakeAvi({Audio(PcmFormat(1, 22050, 8))}, avi_test::DataChunks(0, data, 250),
                             {Riff("AVIX", {List("movi", {DataChunk(0, Pattern(99, 7))})})});
  const Bytes full = avi_test::Concat({data, Pattern(99, 7)});
  ASSERT_EQ(ReadTrack(file).data, full);

  std::size_t longest = 0;
  for (std::size_t cut = 0; cut < file.size(); ++cut) {
    const Track track = ReadTrack(Bytes(file.begin(), file.begin() + static_cast<long>(cut)));
    ASSERT_LE(track.data.size(), full.size()) << cut;
    ASSERT_TRUE(std::equal(track.data.begin(), track.data.end(), full.begin())) << cut;
    ASSERT_GE(track.data.size(), longest) << cut;
    longest = track.data.size();
  }
  EXPECT_EQ(longest, full.size());
}

TEST(RiffAviLibrary, BadChunkEndsTheWalkWithWhatWasReadBefore) {
  test::ScopedWorkDir dir;
  const Bytes good = Pattern(100);
  const Bytes format = PcmFormat(1, 22050, 8);

  // A chunk claiming more than its list holds, where the list ends before the
  // file does: its size is wrong, so none of it is taken.
  Bytes overrun = DataChunk(0, Pattern(10, 3));
  overrun[4] = 0xFF;
  overrun[5] = 0xFF;
  const Bytes file = MakeAvi({Audio(format)}, {DataChunk(0, good), overrun, DataChunk(0, good)});
  EXPECT_EQ(ReadTrack(file).data, good);

  // "rec " lists nested far too deep.
  Bytes nested = DataChunk(0, good);
  for (int depth = 0; depth < 20; ++depth) {
    nested = List("rec ", {nested});
  }
  EXPECT_EQ(ReadTrack(MakeAvi({Audio(format)}, {DataChunk(0, good), nested})).data, good);

  // A list too short to hold its type.
  EXPECT_EQ(ReadTrack(MakeAvi({Audio(format)},
                              {DataChunk(0, good), Chunk("LIST", Bytes{1, 2}), DataChunk(0, good)}))
                .data,
            good);
}

TEST(RiffAviLibrary, RejectsWhatIsNotAnAviFile) {
  test::ScopedWorkDir dir;
  EXPECT_FALSE(ReadTrack(Bytes{}).opened);
  EXPECT_FALSE(ReadTrack(Bytes{'R', 'I', 'F', 'F'}).opened);
  EXPECT_FALSE(ReadTrack(Pattern(5000)).opened);
  EXPECT_FALSE(ReadTrack(test::MakeWave8(22050, Pattern(100))).opened);
  EXPECT_FALSE(ReadTrack(Riff("AVI ", {List("movi", {DataChunk(0, Pattern(10))})})).opened)
      << "no header list";
  EXPECT_FALSE(ReadTrack(MakeAvi({Video()}, {})).found) << "no audio stream";

  RiffAviLibrary library;
  AviFile* file = nullptr;
  EXPECT_NE(library.FileOpen(&file, "missing.avi"), kAviOk);
  EXPECT_EQ(file, nullptr);
  std::filesystem::create_directory("folder.avi");
  EXPECT_NE(library.FileOpen(&file, "folder.avi"), kAviOk);
  // A FIFO would block the open until someone writes to it.
  ASSERT_EQ(mkfifo("fifo.avi", 0600), 0);
  EXPECT_NE(library.FileOpen(&file, "fifo.avi"), kAviOk);
}

// Sizes and counts from the file never turn into allocations or reads larger
// than the file.
TEST(RiffAviLibrary, HugeSizesAndCountsStayWithinTheFile) {
  test::ScopedWorkDir dir;
  Bytes huge_format = MakeAvi({Audio(Pattern(20))}, {DataChunk(0, Pattern(10))});
  const Bytes strf = {'s', 't', 'r', 'f', 20, 0, 0, 0};
  const auto at = std::search(huge_format.begin(), huge_format.end(), strf.begin(), strf.end());
  ASSERT_NE(at, huge_format.end());
  at[4] = 0xF0;
  at[5] = at[6] = at[7] = 0xFF;
  EXPECT_FALSE(ReadTrack(huge_format).found);

  avi_test::StreamSpec long_stream = Audio(PcmFormat(1, 22050, 8), 0xFFFFFFF0U);
  long_stream.start = 0xFFFFFFF0U;
  const Track track = ReadTrack(MakeAvi({long_stream}, {DataChunk(0, Pattern(10))}));
  EXPECT_EQ(track.length, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(track.data, Pattern(10));

  // Chunk ids have room for streams 00 to 99 only.
  std::vector<avi_test::StreamSpec> streams(100, Video());
  streams.push_back(Audio(PcmFormat(1, 22050, 8)));
  EXPECT_FALSE(ReadTrack(MakeAvi(streams, {})).found);
}

TEST(RiffAviLibrary, PartialReadsAndHandles) {
  test::ScopedWorkDir dir;
  const Bytes data = Pattern(20);
  test::WriteBytes(kAviName,
                   MakeAvi({Audio(PcmFormat(1, 22050, 16))}, avi_test::DataChunks(0, data, 6)));
  RiffAviLibrary library;
  AviFile* file = nullptr;
  ASSERT_EQ(library.FileOpen(&file, kAviName), kAviOk);
  AviStream* stream = nullptr;
  ASSERT_EQ(library.FileGetStream(file, &stream, kStreamTypeAudio, 0), kAviOk);
  AviStream* other = nullptr;
  EXPECT_NE(library.FileGetStream(file, &other, 0x73646976 /* vids */, 0), kAviOk);
  EXPECT_EQ(other, nullptr);
  // The stream stays readable after its file is released.
  library.FileRelease(file);

  Bytes buffer(20, 0xAA);
  std::int32_t bytes = 0;
  std::int32_t samples = 0;
  // Samples 3 and 4 of 2-byte samples: bytes 6 to 9, across a chunk border.
  ASSERT_EQ(library.StreamRead(stream, 3, 2, buffer.data(), 20, &bytes, &samples), kAviOk);
  EXPECT_EQ(bytes, 4);
  EXPECT_EQ(samples, 2);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), Bytes(data.begin() + 6, data.begin() + 10));
  // A buffer smaller than the stream takes what fits.
  ASSERT_EQ(
      library.StreamRead(stream, 8, kAviStreamReadConvenient, buffer.data(), 3, &bytes, nullptr),
      kAviOk);
  EXPECT_EQ(bytes, 3);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), Bytes(data.begin() + 16, data.begin() + 19));
  EXPECT_NE(library.StreamRead(stream, 11, kAviStreamReadConvenient, nullptr, 0, &bytes, nullptr),
            kAviOk);
  EXPECT_NE(library.StreamRead(stream, -1, kAviStreamReadConvenient, nullptr, 0, &bytes, nullptr),
            kAviOk);

  AviStreamInfo info;
  info.bytes.fill(0xCC);
  EXPECT_EQ(library.StreamInfo(stream, info), kAviOk);
  library.StreamRelease(stream);
  // Released handles are unknown from then on.
  EXPECT_NE(library.StreamInfo(stream, info), kAviOk);
  EXPECT_NE(library.StreamRead(stream, 0, kAviStreamReadConvenient, nullptr, 0, &bytes, nullptr),
            kAviOk);
  EXPECT_NE(library.FileGetStream(file, &stream, kStreamTypeAudio, 0), kAviOk);
}

}  // namespace
