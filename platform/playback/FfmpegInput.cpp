#include "platform/playback/FfmpegInput.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <cerrno>
#include <cstring>
#include <mutex>

namespace hc::playback {
namespace {

constexpr const char* kFormats =
    "mov,mp4,m4a,3gp,3g2,mj2,matroska,webm,avi,mpeg,mpegts,flv,ogg,wav,mp3,aac,h264,hevc,m4v";

bool IsMovFamily(const AVFormatContext* format) {
  return format->iformat != nullptr && std::strncmp(format->iformat->name, "mov", 3) == 0;
}

}  // namespace

PlaybackErr FfmpegInput::ErrFromAv(int averror) {
  switch (averror) {
    case AVERROR(ENOENT): return PlaybackErr::FileNotFound;
    case AVERROR(EACCES):
    case AVERROR(EPERM): return PlaybackErr::PermissionDenied;
    case AVERROR(ENOMEM): return PlaybackErr::OutOfMemory;
    case AVERROR(EIO): return PlaybackErr::IoError;
    case AVERROR(ETIMEDOUT):
    case AVERROR(ECONNREFUSED):
    case AVERROR(EHOSTUNREACH):
    case AVERROR(ENETUNREACH):
    case AVERROR_EXIT:
    case AVERROR_HTTP_BAD_REQUEST:
    case AVERROR_HTTP_UNAUTHORIZED:
    case AVERROR_HTTP_FORBIDDEN:
    case AVERROR_HTTP_NOT_FOUND:
    case AVERROR_HTTP_OTHER_4XX:
    case AVERROR_HTTP_SERVER_ERROR: return PlaybackErr::NetworkError;
    case AVERROR_DECODER_NOT_FOUND: return PlaybackErr::UnsupportedCodec;
    case AVERROR_EOF: return PlaybackErr::EndOfMedia;
    case AVERROR_STREAM_NOT_FOUND: return PlaybackErr::InvalidTrack;
    default: return PlaybackErr::InvalidMovie;
  }
}

int FfmpegInput::InterruptCallback(void* opaque) {
  return static_cast<FfmpegInput*>(opaque)->aborted_.load() ? 1 : 0;
}

PlaybackErr FfmpegInput::Open(const DataReference& reference, std::unique_ptr<FfmpegInput>* out) {
  if (out == nullptr || reference.IsEmpty()) return PlaybackErr::BadArgument;
  // Damaged media is expected and answered through result codes; FFmpeg's
  // own complaints would only flood the console.
  static std::once_flag quiet;
  std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
  std::unique_ptr<FfmpegInput> input(new FfmpegInput());
  input->format_ = avformat_alloc_context();
  if (input->format_ == nullptr) return PlaybackErr::OutOfMemory;
  input->format_->interrupt_callback = {&FfmpegInput::InterruptCallback, input.get()};

  AVDictionary* options = nullptr;
  av_dict_set(&options, "format_whitelist", kFormats, 0);
  av_dict_set(&options, "protocol_whitelist", reference.IsUrl() ? "http,https,tcp,tls" : "file", 0);
  if (reference.IsUrl()) {
    av_dict_set_int(&options, "rw_timeout", int64_t{kNetworkTimeoutSeconds} * 1000000, 0);
  }
  const std::string location = reference.IsUrl() ? reference.Text() : "file:" + reference.Text();
  int result = avformat_open_input(&input->format_, location.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (result < 0) return ErrFromAv(result);  // avformat_open_input freed the context
  if (input->format_->nb_streams > kMaxStreams) return PlaybackErr::SizeLimitExceeded;
  result = avformat_find_stream_info(input->format_, nullptr);
  if (result < 0) return ErrFromAv(result);
  *out = std::move(input);
  return PlaybackErr::Ok;
}

FfmpegInput::~FfmpegInput() {
  if (format_ != nullptr) avformat_close_input(&format_);
}

AVStream* FfmpegInput::StreamForTrack(uint32_t trackId) const {
  const bool mov = IsMovFamily(format_);
  for (unsigned i = 0; i < format_->nb_streams; ++i) {
    AVStream* stream = format_->streams[i];
    const uint32_t id = mov ? static_cast<uint32_t>(stream->id) : i + 1;
    if (id == trackId) return stream;
  }
  return nullptr;
}

}  // namespace hc::playback
