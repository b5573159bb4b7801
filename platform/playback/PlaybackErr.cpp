#include "platform/playback/PlaybackErr.h"

namespace hc::playback {

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
    case PlaybackErr::InvalidSampleTable: return "InvalidSampleTable";
    case PlaybackErr::BadEditList: return "BadEditList";
    case PlaybackErr::UserDataItemNotFound: return "UserDataItemNotFound";
    case PlaybackErr::InvalidSampleNumber: return "InvalidSampleNumber";
    case PlaybackErr::InvalidSampleDescIndex: return "InvalidSampleDescIndex";
    case PlaybackErr::NoMovieFound: return "NoMovieFound";
    case PlaybackErr::FeatureUnsupported: return "FeatureUnsupported";
    case PlaybackErr::CodecDataCorrupt: return "CodecDataCorrupt";
    case PlaybackErr::SizeLimitExceeded: return "SizeLimitExceeded";
    case PlaybackErr::NoImage: return "NoImage";
    case PlaybackErr::WrongContext: return "WrongContext";
    case PlaybackErr::EndOfMedia: return "EndOfMedia";
    case PlaybackErr::NetworkError: return "NetworkError";
    case PlaybackErr::DeviceError: return "DeviceError";
  }
  return "Unknown";
}

PlaybackErr PlaybackErrFromMovErr(movfile::MovErr err) {
  using movfile::MovErr;
  switch (err) {
    case MovErr::Ok: return PlaybackErr::Ok;
    case MovErr::IoError: return PlaybackErr::IoError;
    case MovErr::FileNotFound: return PlaybackErr::FileNotFound;
    case MovErr::BadArgument: return PlaybackErr::BadArgument;
    case MovErr::PermissionDenied: return PlaybackErr::PermissionDenied;
    case MovErr::OutOfMemory: return PlaybackErr::OutOfMemory;
    case MovErr::CodecNotFound: return PlaybackErr::UnsupportedCodec;
    case MovErr::InvalidTrack: return PlaybackErr::InvalidTrack;
    case MovErr::InvalidMovie: return PlaybackErr::InvalidMovie;
    case MovErr::InvalidSampleTable: return PlaybackErr::InvalidSampleTable;
    case MovErr::BadEditList: return PlaybackErr::BadEditList;
    case MovErr::UserDataItemNotFound: return PlaybackErr::UserDataItemNotFound;
    case MovErr::InvalidSampleNumber: return PlaybackErr::InvalidSampleNumber;
    case MovErr::InvalidSampleDescIndex: return PlaybackErr::InvalidSampleDescIndex;
    case MovErr::NoMovieFound: return PlaybackErr::NoMovieFound;
    case MovErr::FeatureUnsupported: return PlaybackErr::FeatureUnsupported;
    case MovErr::CodecDataCorrupt: return PlaybackErr::CodecDataCorrupt;
    case MovErr::SizeLimitExceeded: return PlaybackErr::SizeLimitExceeded;
    // A save holding the file longer than opening waits.
    case MovErr::FileBusy: return PlaybackErr::IoError;
    // Only saving or atom containers give these; reading never does.
    case MovErr::DiskFull:
    case MovErr::WriteProtected:
    case MovErr::DataNotOpenForWrite:
    case MovErr::FileChanged: return PlaybackErr::IoError;
    case MovErr::CannotFindAtom:
    case MovErr::NotLeafAtom:
    case MovErr::DuplicateAtomTypeAndId:
    case MovErr::InvalidAtomContainer:
    case MovErr::TooManyChildren:
    case MovErr::NestingTooDeep:
    case MovErr::SizeTooLarge: return PlaybackErr::InvalidMovie;
  }
  return PlaybackErr::IoError;
}

}  // namespace hc::playback
