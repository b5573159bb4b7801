#include "platform/movie/PlaybackErr.h"

namespace hc::movie {

const char* PlaybackErrName(PlaybackErr err) {
  switch (err) {
    case PlaybackErr::Ok: return "Ok";
    case PlaybackErr::IoError: return "IoError";
    case PlaybackErr::FileNotFound: return "FileNotFound";
    case PlaybackErr::BadArgument: return "BadArgument";
    case PlaybackErr::PermissionDenied: return "PermissionDenied";
    case PlaybackErr::OutOfMemory: return "OutOfMemory";
    case PlaybackErr::UnsupportedCodec: return "UnsupportedCodec";
    case PlaybackErr::InvalidTrack: return "InvalidTrack";
    case PlaybackErr::InvalidMovie: return "InvalidMovie";
    case PlaybackErr::NoMovieFound: return "NoMovieFound";
    case PlaybackErr::SizeLimitExceeded: return "SizeLimitExceeded";
    case PlaybackErr::NoImage: return "NoImage";
    case PlaybackErr::WrongContext: return "WrongContext";
    case PlaybackErr::EndOfMedia: return "EndOfMedia";
    case PlaybackErr::NetworkError: return "NetworkError";
    case PlaybackErr::DeviceError: return "DeviceError";
  }
  return "Unknown";
}

}  // namespace hc::movie
