#include "platform/movfile/MovErr.h"

#include <cerrno>

namespace hc::movfile {

const char* MovErrName(MovErr err) {
  switch (err) {
    case MovErr::Ok: return "Ok";
    case MovErr::DiskFull: return "DiskFull";
    case MovErr::IoError: return "IoError";
    case MovErr::FileNotFound: return "FileNotFound";
    case MovErr::WriteProtected: return "WriteProtected";
    case MovErr::FileBusy: return "FileBusy";
    case MovErr::BadArgument: return "BadArgument";
    case MovErr::PermissionDenied: return "PermissionDenied";
    case MovErr::OutOfMemory: return "OutOfMemory";
    case MovErr::CodecNotFound: return "CodecNotFound";
    case MovErr::InvalidTrack: return "InvalidTrack";
    case MovErr::InvalidMovie: return "InvalidMovie";
    case MovErr::InvalidSampleTable: return "InvalidSampleTable";
    case MovErr::BadEditList: return "BadEditList";
    case MovErr::UserDataItemNotFound: return "UserDataItemNotFound";
    case MovErr::InvalidSampleNumber: return "InvalidSampleNumber";
    case MovErr::InvalidSampleDescIndex: return "InvalidSampleDescIndex";
    case MovErr::DataNotOpenForWrite: return "DataNotOpenForWrite";
    case MovErr::NoMovieFound: return "NoMovieFound";
    case MovErr::FeatureUnsupported: return "FeatureUnsupported";
    case MovErr::CannotFindAtom: return "CannotFindAtom";
    case MovErr::NotLeafAtom: return "NotLeafAtom";
    case MovErr::DuplicateAtomTypeAndId: return "DuplicateAtomTypeAndId";
    case MovErr::InvalidAtomContainer: return "InvalidAtomContainer";
    case MovErr::CodecDataCorrupt: return "CodecDataCorrupt";
    case MovErr::SizeLimitExceeded: return "SizeLimitExceeded";
    case MovErr::TooManyChildren: return "TooManyChildren";
    case MovErr::NestingTooDeep: return "NestingTooDeep";
    case MovErr::SizeTooLarge: return "SizeTooLarge";
    case MovErr::FileChanged: return "FileChanged";
  }
  return "Unknown";
}

MovErr MovErrFromErrno(int errnoValue) {
  switch (errnoValue) {
    case 0: return MovErr::Ok;
    case ENOENT:
    case ENOTDIR: return MovErr::FileNotFound;
    case EACCES:
    case EPERM: return MovErr::PermissionDenied;
    case EROFS: return MovErr::WriteProtected;
    case ENOSPC:
    case EDQUOT: return MovErr::DiskFull;
    case ENOMEM: return MovErr::OutOfMemory;
    case EINVAL:
    case EISDIR:
    case ENAMETOOLONG: return MovErr::BadArgument;
    default: return MovErr::IoError;
  }
}

}  // namespace hc::movfile
