#include "platform/playback/AudioDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <cmath>

namespace hc::playback {

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
  AVChannelLayout outputLayout;
  av_channel_layout_default(&outputLayout, outputChannels);
  const int made = swr_alloc_set_opts2(&decoder->resampler_, &outputLayout, AV_SAMPLE_FMT_FLT, outputRate,
                                       &decoder->codec_->ch_layout, decoder->codec_->sample_fmt,
                                       decoder->codec_->sample_rate, 0, nullptr);
  av_channel_layout_uninit(&outputLayout);
  if (made < 0 || swr_init(decoder->resampler_) < 0) return PlaybackErr::UnsupportedCodec;
  decoder->stream_ = stream;
  decoder->outputRate_ = outputRate;
  decoder->outputChannels_ = outputChannels;
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
  swr_init(resampler_);
  inputEnded_ = false;
  skipBefore_ = seconds;
  nextSeconds_ = seconds;
  return result < 0 ? FfmpegInput::ErrFromAv(result) : PlaybackErr::Ok;
}

PlaybackErr AudioDecoder::Convert(const AVFrame* frame, AudioChunk& out) {
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
