#include "avi/avi_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "support/test_support.h"

namespace {

using avi_test::Audio;
using avi_test::DataChunk;
using avi_test::MakeAvi;
using avi_test::PcmFormat;
using avi_test::Video;
using test::Bytes;
using test::Chunk;
using test::Join;
using test::List;
using test::Pattern;

// The data of the file's `occurrence`-th audio stream, read whole; nullopt
// when there is no such stream.
std::optional<Bytes> StreamData(const Bytes& file, std::uint32_t occurrence = 0) {
  test::WriteBytes("in.avi", file);
  std::optional<AviReader> reader = AviReader::Open("in.avi");
  const std::optional<AviAudioStream> stream =
      reader ? reader->FindAudioStream(occurrence) : std::nullopt;
  if (!stream) {
    return std::nullopt;
  }
  Bytes data(stream->data_bytes);
  EXPECT_EQ(reader->ReadData(*stream, data), data.size());
  return data;
}

// Chunk ids number the streams among all streams, video included.
TEST(AviReader, TakesTheNthAudioStreamAndOnlyItsChunks) {
  test::ScopedWorkDir dir;
  const Bytes first = Pattern(300, 1);
  const Bytes second = Pattern(200, 2);
  const Bytes frame(50, 0xEE);
  const Bytes video_between = MakeAvi(
      {Audio(PcmFormat(1, 22050, 8)), Video(), Audio(PcmFormat(1, 11025, 8))},
      {DataChunk(1, frame, "dc"), DataChunk(2, second), DataChunk(0, first), DataChunk(2, second)});
  EXPECT_EQ(StreamData(video_between, 0), first);
  EXPECT_EQ(StreamData(video_between, 1), Join({second, second}));
  EXPECT_EQ(StreamData(video_between, 2), std::nullopt);
  const Bytes video_first = MakeAvi({Video(), {.format = PcmFormat(1, 11025, 8), .start = 9}},
                                    {DataChunk(0, Pattern(70, 9)), DataChunk(1, first)});
  EXPECT_EQ(StreamData(video_first), first);
  std::optional<AviReader> reader = AviReader::Open("in.avi");
  ASSERT_TRUE(reader);
  const std::optional<AviAudioStream> stream = reader->FindAudioStream(0);
  EXPECT_EQ(stream->format, PcmFormat(1, 11025, 8));
  EXPECT_EQ(stream->start, 9U);
  Bytes prefix(230);  // across a chunk border
  EXPECT_EQ(reader->ReadData(*stream, prefix), 230U);
  EXPECT_EQ(prefix, Bytes(first.begin(), first.begin() + 230));
}

TEST(AviReader, DeliversRecListsAndOpenDmlPartsInFileOrder) {
  test::ScopedWorkDir dir;
  const Bytes a = Pattern(333, 1);  // odd: a pad byte follows
  const Bytes b = Pattern(1, 2);
  const Bytes c = Pattern(500, 3);
  const Bytes d = Pattern(77, 4);
  const Bytes e = Pattern(64, 5);
  const Bytes file = MakeAvi(
      {Video(), Audio(PcmFormat(1, 22050, 8))},
      {DataChunk(1, a), Chunk("JUNK", Bytes(3, 1)),
       List("rec ", {DataChunk(0, Bytes(9, 0), "dc"), DataChunk(1, b), DataChunk(1, {})}),
       Chunk("ix01", Bytes(24, 1)), List("rec ", {DataChunk(1, c)})},
      {List("AVIX", {List("movi", {DataChunk(1, d), DataChunk(0, Bytes(5, 0), "dc")})}, "RIFF"),
       List("AVIX", {Chunk("JUNK", {}), List("movi", {List("rec ", {DataChunk(1, e)})})}, "RIFF")});
  EXPECT_EQ(StreamData(file), Join({a, b, c, d, e}));
}

// A file cut short anywhere gives a prefix of the stream's data: the chunk at
// the cut keeps the bytes that are there.
TEST(AviReader, FileCutAnywhereGivesAPrefixOfTheData) {
  test::ScopedWorkDir dir;
  std::vector<Bytes> chunks;
  for (unsigned seed = 0; seed < 4; ++seed) {
    chunks.push_back(DataChunk(0, Pattern(250 + seed, seed)));
  }
  const Bytes file =
      MakeAvi({Audio(PcmFormat(1, 22050, 8))}, chunks,
              {List("AVIX", {List("movi", {DataChunk(0, Pattern(99, 7))})}, "RIFF")});
  const Bytes full =
      Join({Pattern(250, 0), Pattern(251, 1), Pattern(252, 2), Pattern(253, 3), Pattern(99, 7)});
  std::size_t longest = 0;
  for (std::size_t cut = 0; cut <= file.size(); ++cut) {
    const Bytes data =
        StreamData(Bytes(file.begin(), file.begin() + static_cast<long>(cut))).value_or(Bytes{});
    ASSERT_LE(data.size(), full.size()) << cut;
    ASSERT_TRUE(std::equal(data.begin(), data.end(), full.begin())) << cut;
    ASSERT_GE(data.size(), longest) << cut;
    longest = data.size();
  }
  EXPECT_EQ(longest, full.size());
}

}  // namespace
