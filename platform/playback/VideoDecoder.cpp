#include "platform/playback/VideoDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <chrono>
#include <cmath>

#include "platform/playback/ImagePixelConverter.h"

namespace hc::playback {
namespace {

// Times closer than this are the same instant (well below any frame length).
constexpr double kTimeEpsilon = 1e-6;
// How far before a seek target to start again when the demuxer landed after it.
constexpr double kSeekBackoff[] = {1.0, 4.0, 16.0, 1e9};

}  // namespace

void AVFrameDeleter::operator()(AVFrame* frame) const { av_frame_free(&frame); }

PlaybackErr VideoDecoder::Open(const DataReference& reference, uint32_t trackId,
                               std::unique_ptr<VideoDecoder>* out, int threads) {
  if (out == nullptr || threads < 0) return PlaybackErr::BadArgument;
  std::unique_ptr<VideoDecoder> decoder(new VideoDecoder());
  const auto openStart = std::chrono::steady_clock::now();
  if (PlaybackErr e = FfmpegInput::Open(reference, &decoder->input_); PlaybackFailed(e)) return e;
  decoder->inputOpenSeconds_ =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - openStart).count();
  AVFormatContext* format = decoder->input_->Format();
  AVStream* stream = nullptr;
  if (trackId != 0) {
    stream = decoder->input_->StreamForTrack(trackId);
  } else {
    for (unsigned i = 0; i < format->nb_streams && stream == nullptr; ++i) {
      AVStream* candidate = format->streams[i];
      if (candidate->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
          (candidate->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0) {
        stream = candidate;
      }
    }
  }
  if (stream == nullptr || stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) return PlaybackErr::InvalidTrack;
  if (stream->time_base.num <= 0 || stream->time_base.den <= 0) return PlaybackErr::InvalidMovie;
  const AVCodecParameters* parameters = stream->codecpar;
  if (!ImagePixelConverter::FrameSizeAllowed(parameters->width, parameters->height)) {
    return parameters->width <= 0 || parameters->height <= 0 ? PlaybackErr::InvalidMovie
                                                              : PlaybackErr::SizeLimitExceeded;
  }
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    format->streams[i]->discard = format->streams[i] == stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
  }
  const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
  if (codec == nullptr) return PlaybackErr::UnsupportedCodec;
  decoder->codec_ = avcodec_alloc_context3(codec);
  decoder->packet_ = av_packet_alloc();
  if (decoder->codec_ == nullptr || decoder->packet_ == nullptr) return PlaybackErr::OutOfMemory;
  if (avcodec_parameters_to_context(decoder->codec_, parameters) < 0) return PlaybackErr::InvalidMovie;
  decoder->codec_->thread_count = threads;
  decoder->codec_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
  decoder->codec_->pkt_timebase = stream->time_base;
  if (int result = avcodec_open2(decoder->codec_, codec, nullptr); result < 0) {
    return result == AVERROR(ENOMEM) ? PlaybackErr::OutOfMemory : PlaybackErr::UnsupportedCodec;
  }
  decoder->stream_ = stream;
  decoder->width_ = parameters->width;
  decoder->height_ = parameters->height;
  const AVRational rate = av_guess_frame_rate(format, stream, nullptr);
  if (rate.num > 0 && rate.den > 0) decoder->frameDuration_ = av_q2d(av_inv_q(rate));
  if (stream->duration > 0) {
    decoder->streamDuration_ = decoder->SecondsOf(stream->duration);
  } else if (format->duration > 0) {
    decoder->streamDuration_ = static_cast<double>(format->duration) / AV_TIME_BASE;
  }
  *out = std::move(decoder);
  return PlaybackErr::Ok;
}

VideoDecoder::~VideoDecoder() {
  avcodec_free_context(&codec_);
  av_packet_free(&packet_);
}

double VideoDecoder::SecondsOf(int64_t timestamp) const {
  return static_cast<double>(timestamp) * av_q2d(stream_->time_base);
}

PlaybackErr VideoDecoder::SeekTo(double seconds) {
  if (!std::isfinite(seconds)) return PlaybackErr::BadArgument;
  held_ = {};
  hasHeld_ = false;
  seekTarget_ = std::max(seconds, 0.0);
  seekAttempt_ = 0;
  return SeekDemuxer(seekTarget_);
}

PlaybackErr VideoDecoder::SeekDemuxer(double seconds) {
  const double base = av_q2d(stream_->time_base);
  const double ticks = std::floor(std::max(seconds, 0.0) / base);
  const int64_t timestamp = ticks > 9e18 ? INT64_MAX : static_cast<int64_t>(ticks);
  int result = av_seek_frame(input_->Format(), stream_->index, timestamp, AVSEEK_FLAG_BACKWARD);
  if (result < 0) {
    result = avformat_seek_file(input_->Format(), stream_->index, INT64_MIN, timestamp, timestamp, 0);
  }
  avcodec_flush_buffers(codec_);
  inputEnded_ = false;
  lastSeconds_ = -1e300;
  return result < 0 ? FfmpegInput::ErrFromAv(result) : PlaybackErr::Ok;
}

PlaybackErr VideoDecoder::ReadFrame(DecodedFrame& out) {
  if (hasHeld_) {
    out = std::move(held_);
    hasHeld_ = false;
    return PlaybackErr::Ok;
  }
  if (seekTarget_ < 0.0) return DecodeNext(out);
  DecodedFrame pending;
  bool hasPending = false;
  for (;;) {
    DecodedFrame frame;
    const PlaybackErr e = DecodeNext(frame);
    if (e == PlaybackErr::EndOfMedia && hasPending) break;
    if (PlaybackFailed(e)) {
      seekTarget_ = -1.0;
      return e;
    }
    if (frame.seconds <= seekTarget_ + kTimeEpsilon) {
      pending = std::move(frame);
      hasPending = true;
      continue;
    }
    const double streamStart = stream_->start_time != AV_NOPTS_VALUE ? SecondsOf(stream_->start_time) : 0.0;
    if (!hasPending && frame.seconds > streamStart + kTimeEpsilon &&
        seekAttempt_ < static_cast<int>(std::size(kSeekBackoff))) {
      // The demuxer landed on a key frame after the target: start earlier.
      if (PlaybackErr s = SeekDemuxer(seekTarget_ - kSeekBackoff[seekAttempt_++]); PlaybackFailed(s)) return s;
      continue;
    }
    if (hasPending) {
      held_ = std::move(frame);
      hasHeld_ = true;
    } else {
      pending = std::move(frame);
    }
    break;
  }
  seekTarget_ = -1.0;
  out = std::move(pending);
  return PlaybackErr::Ok;
}

PlaybackErr VideoDecoder::SendNextPacket() {
  const int read = av_read_frame(input_->Format(), packet_);
  if (read < 0) {
    const PlaybackErr e = FfmpegInput::ErrFromAv(read);
    if (e == PlaybackErr::NetworkError || e == PlaybackErr::OutOfMemory) return e;
    // End of file, or damage past which nothing can be read: drain the decoder.
    avcodec_send_packet(codec_, nullptr);
    inputEnded_ = true;
    return PlaybackErr::Ok;
  }
  if (packet_->stream_index == stream_->index) {
    const int sent = avcodec_send_packet(codec_, packet_);
    if (sent == AVERROR(ENOMEM)) {
      av_packet_unref(packet_);
      return PlaybackErr::OutOfMemory;
    }
    // Damaged packets are skipped; the decoder conceals what it can.
  }
  av_packet_unref(packet_);
  return PlaybackErr::Ok;
}

PlaybackErr VideoDecoder::DecodeNext(DecodedFrame& out) {
  AVFramePtr frame(av_frame_alloc());
  if (!frame) return PlaybackErr::OutOfMemory;
  for (int packets = 0;;) {
    const int result = avcodec_receive_frame(codec_, frame.get());
    if (result == 0) {
      if (!ImagePixelConverter::FrameSizeAllowed(frame->width, frame->height)) return PlaybackErr::SizeLimitExceeded;
      const int64_t timestamp = frame->best_effort_timestamp;
      double seconds = timestamp != AV_NOPTS_VALUE ? SecondsOf(timestamp) : lastSeconds_ + frameDuration_;
      if (lastSeconds_ > -1e299 && seconds <= lastSeconds_) seconds = lastSeconds_ + frameDuration_;
      if (lastSeconds_ <= -1e299 && timestamp == AV_NOPTS_VALUE) seconds = 0.0;
      lastSeconds_ = seconds;
      out.seconds = seconds;
      out.duration = frame->pkt_duration > 0 ? SecondsOf(frame->pkt_duration) : frameDuration_;
      out.frame = std::move(frame);
      return PlaybackErr::Ok;
    }
    if (result == AVERROR_EOF) return PlaybackErr::EndOfMedia;
    if (result == AVERROR_INVALIDDATA) {
      // A damaged picture: conceal it by going on with the next one.
      if (++packets > kMaxPacketsPerFrame) return PlaybackErr::InvalidMovie;
      continue;
    }
    if (result != AVERROR(EAGAIN)) return PlaybackErr::InvalidMovie;
    if (inputEnded_) return PlaybackErr::EndOfMedia;
    if (++packets > kMaxPacketsPerFrame) return PlaybackErr::InvalidMovie;
    if (PlaybackErr e = SendNextPacket(); PlaybackFailed(e)) return e;
  }
}

}  // namespace hc::playback
