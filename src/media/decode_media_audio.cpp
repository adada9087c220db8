#include "media/decode_media_audio.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <bit>
#include <string>
#include <vector>

#include "log/event_log.h"
#include "media/first_channel.h"
#include "riff/little_endian.h"
#include "riff/replacement_file.h"
#include "riff/wave_header.h"

namespace {

// Decoded sound is written in blocks of about this many samples, so the
// whole clip is never held in 16 bits.
constexpr std::size_t kBlockSamples = std::size_t{32} * 1024;
// Beyond this, a stream's format is a corrupt header, not sound.
constexpr int kMaxChannels = 255;

enum class Outcome : std::uint8_t { Decoded, NoAudio, NoDecoder, BadFormat, Corrupt, WriteFailed };

struct OutcomeText {
  Outcome outcome;
  const char* text;
};
constexpr OutcomeText kFailureTexts[] = {
    {Outcome::NoAudio, "No Audio Stream In Media File"},
    {Outcome::NoDecoder, "Unsupported Audio Codec"},
    {Outcome::BadFormat, "Invalid Audio Format"},
    {Outcome::Corrupt, "Failed To Decode Audio"},
    {Outcome::WriteFailed, "Failed To Write Sound File"},
};
constexpr const char* kCutShort = "Media File Cut Short - Sound Kept Up To The Cut";
constexpr const char* kSizeLimit = "Sound Stopped At The WAVE Size Limit";

struct CodecContextCloser {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
using OwnedCodecContext = std::unique_ptr<AVCodecContext, CodecContextCloser>;
struct PacketCloser {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameCloser {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};

int ChooseAudioStream(const AVFormatContext& format) {
  int first = -1;
  for (unsigned index = 0; index < format.nb_streams; ++index) {
    const AVStream& stream = *format.streams[index];
    if (stream.codecpar->codec_type != AVMEDIA_TYPE_AUDIO) {
      continue;
    }
    if ((stream.disposition & AV_DISPOSITION_DEFAULT) != 0) {
      return static_cast<int>(index);
    }
    first = first < 0 ? static_cast<int>(index) : first;
  }
  return first;
}

bool SaneFormat(int rate, int channels) {
  return rate >= static_cast<int>(kMinSoundRate) && rate <= static_cast<int>(kMaxSoundRate) &&
         channels >= 1 && channels <= kMaxChannels;
}

OwnedCodecContext OpenDecoder(const AVStream& stream) {
  const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
  OwnedCodecContext decoder(codec != nullptr ? avcodec_alloc_context3(codec) : nullptr);
  if (!decoder || avcodec_parameters_to_context(decoder.get(), stream.codecpar) < 0) {
    return nullptr;
  }
  decoder->pkt_timebase = stream.time_base;
  // Damage a decoder would hide (by skipping or silencing a frame) would move
  // every later shot; it is reported instead.
  decoder->err_recognition |= AV_EF_CRCCHECK | AV_EF_BITSTREAM | AV_EF_BUFFER;
  if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
    return nullptr;
  }
  return decoder;
}

// The 16-bit mono WAVE file the sound is written to: the header's sizes are
// filled in once the sound has ended.
class SixteenBitWaveWriter {
 public:
  SixteenBitWaveWriter(ReplacementFile& wave, std::uint64_t max_samples)
      : wave_(wave), max_samples_(max_samples) {
    const auto header = MakeWaveHeader(SixteenBitMono(0), 0);
    wave_.Write(header.data(), header.size());
  }
  // Writes the block and empties it; false once the limit is reached.
  bool Write(std::vector<std::int16_t>& block) {
    const std::size_t kept = std::min<std::uint64_t>(block.size(), max_samples_ - written_);
    if constexpr (std::endian::native != std::endian::little) {
      for (std::int16_t& value : block) {
        StoreU16Le(reinterpret_cast<std::uint8_t*>(&value), static_cast<std::uint16_t>(value));
      }
    }
    wave_.Write(block.data(), kept * sizeof(std::int16_t));
    written_ += kept;
    const bool room_left = kept == block.size();
    block.clear();
    return room_left;
  }
  bool Finish(std::uint32_t rate) {
    const auto header =
        MakeWaveHeader(SixteenBitMono(rate), static_cast<std::uint32_t>(written_ * 2));
    wave_.WriteAt(0, header.data(), header.size());
    return wave_.Commit();
  }

 private:
  ReplacementFile& wave_;
  std::uint64_t max_samples_;
  std::uint64_t written_ = 0;
};

enum class Step : std::uint8_t { More, Ended, CutShort, Corrupt, FormatChanged, Full };

// The stream's packets through the decoder into the writer, until the file
// ends, fails or the WAVE file is full.
class StreamDecoder {
 public:
  StreamDecoder(MediaInput& input, int stream, AVCodecContext& decoder,
                SixteenBitWaveWriter& writer)
      : input_(input), stream_(stream), decoder_(decoder), writer_(writer) {
    block_.reserve(kBlockSamples);
  }

  // The rate of the sound decoded, 0 before the first frame.
  int Rate() const { return rate_; }

  Step Run() {
    Step step = Step::More;
    while (step == Step::More) {
      step = NextPacket();
    }
    if (step == Step::Ended || step == Step::CutShort) {
      // What the decoder still holds belongs to the sound before the cut.
      avcodec_send_packet(&decoder_, nullptr);
      const Step drained = ReceiveFrames();
      step = drained == Step::More || drained == Step::Ended ? step : drained;
    }
    if (step != Step::Full && !block_.empty() && !writer_.Write(block_)) {
      step = Step::Full;
    }
    return step;
  }

 private:
  // A damaged packet is a cut when nothing of the stream follows it, and
  // damage when something does; a demuxer's error is a cut at the end of the
  // file only.
  Step NextPacket() {
    const int read = av_read_frame(&input_.Format(), packet_.get());
    if (read < 0) {
      if (read != AVERROR_EOF && !input_.ReachedEnd()) {
        return Step::Corrupt;
      }
      return damaged_ || read != AVERROR_EOF ? Step::CutShort : Step::Ended;
    }
    Step step = Step::More;
    if (packet_->stream_index == stream_) {
      if (damaged_) {
        step = Step::Corrupt;
      } else if ((packet_->flags & AV_PKT_FLAG_CORRUPT) != 0 ||
                 avcodec_send_packet(&decoder_, packet_.get()) < 0) {
        damaged_ = true;
      } else {
        step = ReceiveFrames();
      }
    }
    av_packet_unref(packet_.get());
    return step;
  }

  Step ReceiveFrames() {
    for (;;) {
      const int received = avcodec_receive_frame(&decoder_, frame_.get());
      if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
        return Step::More;
      }
      if (received < 0) {
        damaged_ = true;
        return Step::More;
      }
      // The first frame sets the rate (a decoder may report the core rate of
      // a stream it doubles); the channel count may change, as only the
      // first channel is kept.
      rate_ = rate_ == 0 ? frame_->sample_rate : rate_;
      const bool same_format = frame_->sample_rate == rate_ &&
                               SaneFormat(frame_->sample_rate, frame_->ch_layout.nb_channels);
      const bool read = same_format && AppendFirstChannel(*frame_, block_);
      av_frame_unref(frame_.get());
      if (!read) {
        return Step::FormatChanged;
      }
      if (block_.size() >= kBlockSamples && !writer_.Write(block_)) {
        return Step::Full;
      }
    }
  }

  MediaInput& input_;
  int stream_;
  AVCodecContext& decoder_;
  SixteenBitWaveWriter& writer_;
  std::unique_ptr<AVPacket, PacketCloser> packet_{av_packet_alloc()};
  std::unique_ptr<AVFrame, FrameCloser> frame_{av_frame_alloc()};
  std::vector<std::int16_t> block_;
  bool damaged_ = false;
  int rate_ = 0;
};

Outcome Decode(MediaInput& input, ReplacementFile& wave, std::uint64_t max_samples) {
  AVFormatContext& format = input.Format();
  const int stream = ChooseAudioStream(format);
  if (stream < 0) {
    return Outcome::NoAudio;
  }
  for (unsigned index = 0; index < format.nb_streams; ++index) {
    format.streams[index]->discard =
        static_cast<int>(index) == stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
  }
  const AVCodecParameters& parameters = *format.streams[stream]->codecpar;
  WriteLogEntry(LogTarget::Routine, std::string("Media Found: ") + format.iformat->name + " " +
                                        avcodec_get_name(parameters.codec_id));
  OwnedCodecContext decoder = OpenDecoder(*format.streams[stream]);
  if (!decoder) {
    return Outcome::NoDecoder;
  }
  if (!SaneFormat(decoder->sample_rate, decoder->ch_layout.nb_channels)) {
    return Outcome::BadFormat;
  }
  SixteenBitWaveWriter writer(wave, max_samples);
  StreamDecoder stream_decoder(input, stream, *decoder, writer);
  const Step end = stream_decoder.Run();
  if (end == Step::Corrupt || end == Step::FormatChanged) {
    return end == Step::Corrupt ? Outcome::Corrupt : Outcome::BadFormat;
  }
  if (end == Step::CutShort || end == Step::Full) {
    WriteLogEntry(LogTarget::Critical, end == Step::Full ? kSizeLimit : kCutShort);
  }
  const int rate = stream_decoder.Rate() != 0 ? stream_decoder.Rate() : decoder->sample_rate;
  const bool written = writer.Finish(static_cast<std::uint32_t>(rate));
  return written ? Outcome::Decoded : Outcome::WriteFailed;
}

}  // namespace

std::unique_ptr<MediaInput> OpenMediaFile(const std::string& path) {
  return MediaInput::Open(path);
}

bool DecodeMediaAudio(MediaInput& input, ReplacementFile& wave, std::uint64_t max_samples) {
  const Outcome outcome = Decode(input, wave, max_samples);
  for (const OutcomeText& failure : kFailureTexts) {
    if (failure.outcome == outcome) {
      WriteFailureEntry(failure.text);
      return false;
    }
  }
  WriteLogEntry(LogTarget::Routine, "Decoded Media Sound");
  return true;
}
