#include "platform/playback/AudioDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <cmath>

namespace hc::playback {
namespace {

constexpr int kMaxInputChannels = 64;

// A frame fit to convert: a known sample format and layout, a sane rate,
// samples, and a data plane for every plane its format needs.
bool IsConvertible(const AVFrame* frame) {
  const auto format = static_cast<AVSampleFormat>(frame->format);
  const int channels = frame->ch_layout.nb_channels;
  if (frame->nb_samples <= 0 || frame->sample_rate <= 0 || frame->sample_rate > AudioDecoder::kMaxSampleRate ||
      channels <= 0 || channels > kMaxInputChannels || av_get_bytes_per_sample(format) <= 0 ||
      av_channel_layout_check(&frame->ch_layout) == 0 || frame->extended_data == nullptr) {
    return false;
  }
  const int planes = av_sample_fmt_is_planar(format) ? channels : 1;
  for (int i = 0; i < planes; ++i) {
    if (frame->extended_data[i] == nullptr) return false;
  }
  return true;
}

}  // namespace

PlaybackErr AudioDecoder::Open(const DataReference& reference, uint32_t trackId, int outputRate,
                               int outputChannels, std::unique_ptr<AudioDecoder>* out) {
  if (out == nullptr || outputRate <= 0 || outputRate > kMaxSampleRate || outputChannels <= 0 ||
      outputChannels > kMaxChannels) {
    return PlaybackErr::BadArgument;
  }
  std::unique_ptr<AudioDecoder> decoder(new AudioDecoder());
  if (PlaybackErr e = FfmpegInput::Open(reference, &decoder->input_); PlaybackFailed(e)) return e;
  AVFormatContext* format = decoder->input_->Format();
  AVStream* stream = nullptr;
  if (trackId != 0) {
    stream = decoder->input_->StreamForTrack(trackId);
  } else {
    for (unsigned i = 0; i < format->nb_streams && stream == nullptr; ++i) {
      if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) stream = format->streams[i];
    }
  }
  if (stream == nullptr || stream->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) return PlaybackErr::InvalidTrack;
  const AVCodecParameters* parameters = stream->codecpar;
  if (stream->time_base.num <= 0 || stream->time_base.den <= 0 || parameters->sample_rate <= 0 ||
      parameters->sample_rate > kMaxSampleRate || parameters->ch_layout.nb_channels <= 0 ||
      parameters->ch_layout.nb_channels > 64) {
    return PlaybackErr::InvalidMovie;
  }
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    format->streams[i]->discard = format->streams[i] == stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
  }
  const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
  if (codec == nullptr) return PlaybackErr::UnsupportedCodec;
  decoder->codec_ = avcodec_alloc_context3(codec);
  decoder->packet_ = av_packet_alloc();
  decoder->frame_ = av_frame_alloc();
  if (decoder->codec_ == nullptr || decoder->packet_ == nullptr || decoder->frame_ == nullptr) {
    return PlaybackErr::OutOfMemory;
  }
  if (avcodec_parameters_to_context(decoder->codec_, parameters) < 0) return PlaybackErr::InvalidMovie;
  decoder->codec_->pkt_timebase = stream->time_base;
  if (avcodec_open2(decoder->codec_, codec, nullptr) < 0) return PlaybackErr::UnsupportedCodec;
  decoder->stream_ = stream;
  decoder->outputRate_ = outputRate;
  decoder->outputChannels_ = outputChannels;
  // Set up from the track's description; frames may still differ from it.
  AVFrame* described = decoder->frame_;
  described->format = decoder->codec_->sample_fmt;
  described->sample_rate = decoder->codec_->sample_rate;
  const int copied = av_channel_layout_copy(&described->ch_layout, &decoder->codec_->ch_layout);
  const PlaybackErr made = copied < 0 ? PlaybackErr::OutOfMemory : decoder->SetUpResampler(described);
  av_frame_unref(described);
  if (PlaybackFailed(made)) return made;
  *out = std::move(decoder);
  return PlaybackErr::Ok;
}

AudioDecoder::~AudioDecoder() {
  swr_free(&resampler_);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  avcodec_free_context(&codec_);
}

PlaybackErr AudioDecoder::SeekTo(double seconds) {
  if (!std::isfinite(seconds)) return PlaybackErr::BadArgument;
  seconds = std::max(seconds, 0.0);
  const double ticks = std::floor(seconds / av_q2d(stream_->time_base));
  const int64_t timestamp = ticks > 9e18 ? INT64_MAX : static_cast<int64_t>(ticks);
  const int result = av_seek_frame(input_->Format(), stream_->index, timestamp, AVSEEK_FLAG_BACKWARD);
  avcodec_flush_buffers(codec_);
  if (resampler_ != nullptr) swr_init(resampler_);  // drops samples held back from before the seek
  inputEnded_ = false;
  skipBefore_ = seconds;
  nextSeconds_ = seconds;
  return result < 0 ? FfmpegInput::ErrFromAv(result) : PlaybackErr::Ok;
}

PlaybackErr AudioDecoder::SetUpResampler(const AVFrame* frame) {
  AVChannelLayout outputLayout;
  av_channel_layout_default(&outputLayout, outputChannels_);
  // This FFmpeg takes the layouts without const; it only copies them.
  auto* inputLayout = const_cast<AVChannelLayout*>(&frame->ch_layout);
  const int made = swr_alloc_set_opts2(&resampler_, &outputLayout, AV_SAMPLE_FMT_FLT, outputRate_, inputLayout,
                                       static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
  av_channel_layout_uninit(&outputLayout);
  if (made < 0 || swr_init(resampler_) < 0) {
    swr_free(&resampler_);  // never left half set up
    return PlaybackErr::UnsupportedCodec;
  }
  return PlaybackErr::Ok;
}

// Whether the resampler is set up for the frame's sample format, channel
// layout and rate, as read back from the resampler itself.
bool AudioDecoder::ResamplerTakes(const AVFrame* frame) const {
  if (resampler_ == nullptr) return false;
  int64_t rate = 0;
  AVSampleFormat format = AV_SAMPLE_FMT_NONE;
  AVChannelLayout layout{};
  const bool read = av_opt_get_int(resampler_, "in_sample_rate", 0, &rate) >= 0 &&
                    av_opt_get_sample_fmt(resampler_, "in_sample_fmt", 0, &format) >= 0 &&
                    av_opt_get_chlayout(resampler_, "in_chlayout", 0, &layout) >= 0;
  const bool same = read && rate == frame->sample_rate && format == frame->format &&
                    av_channel_layout_compare(&layout, &frame->ch_layout) == 0;
  av_channel_layout_uninit(&layout);
  return same;
}

PlaybackErr AudioDecoder::Convert(const AVFrame* frame, AudioChunk& out) {
  out.samples.clear();
  // Frames without samples or planes give nothing; ones in another format
  // than the resampler takes get a resampler set up for them.
  if (!IsConvertible(frame)) return PlaybackErr::Ok;
  if (!ResamplerTakes(frame)) {
    if (PlaybackErr e = SetUpResampler(frame); PlaybackFailed(e)) return e;
  }
  const int64_t capacity = swr_get_out_samples(resampler_, frame->nb_samples);
  if (capacity < 0 || capacity > int64_t{kMaxSampleRate} * 4) return PlaybackErr::InvalidMovie;
  out.samples.resize(static_cast<size_t>(capacity) * static_cast<size_t>(outputChannels_));
  uint8_t* planes[1] = {reinterpret_cast<uint8_t*>(out.samples.data())};
  const int converted = swr_convert(resampler_, planes, static_cast<int>(capacity),
                                    const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
  if (converted < 0) return PlaybackErr::InvalidMovie;
  out.samples.resize(static_cast<size_t>(converted) * static_cast<size_t>(outputChannels_));
  const int64_t timestamp = frame->best_effort_timestamp;
  out.seconds = timestamp != AV_NOPTS_VALUE ? static_cast<double>(timestamp) * av_q2d(stream_->time_base)
                                            : nextSeconds_;
  nextSeconds_ = out.seconds + static_cast<double>(converted) / outputRate_;
  if (skipBefore_ > out.seconds) {
    const auto skip = static_cast<size_t>((skipBefore_ - out.seconds) * outputRate_) *
                      static_cast<size_t>(outputChannels_);
    out.samples.erase(out.samples.begin(), out.samples.begin() + static_cast<std::ptrdiff_t>(
                                                                      std::min(skip, out.samples.size())));
    out.seconds = skipBefore_;
  }
  skipBefore_ = -1.0;
  return PlaybackErr::Ok;
}

PlaybackErr AudioDecoder::ReadChunk(AudioChunk& out) {
  for (int packets = 0;;) {
    const int result = avcodec_receive_frame(codec_, frame_);
    if (result == 0) {
      const PlaybackErr e = Convert(frame_, out);
      av_frame_unref(frame_);
      if (PlaybackFailed(e)) return e;
      if (out.samples.empty()) continue;
      return PlaybackErr::Ok;
    }
    if (result == AVERROR_EOF || (result == AVERROR(EAGAIN) && inputEnded_)) return PlaybackErr::EndOfMedia;
    if (result != AVERROR(EAGAIN) && result != AVERROR_INVALIDDATA) return PlaybackErr::InvalidMovie;
    if (++packets > kMaxPacketsPerChunk) return PlaybackErr::InvalidMovie;
    const int read = av_read_frame(input_->Format(), packet_);
    if (read < 0) {
      const PlaybackErr e = FfmpegInput::ErrFromAv(read);
      if (e == PlaybackErr::NetworkError) return e;
      avcodec_send_packet(codec_, nullptr);
      inputEnded_ = true;
      continue;
    }
    if (packet_->stream_index == stream_->index) avcodec_send_packet(codec_, packet_);
    av_packet_unref(packet_);
  }
}

}  // namespace hc::playback
