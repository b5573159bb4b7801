#include "platform/system/FileErr.h"

#include <cerrno>

namespace hc::system {

int LastFileErr() { return FileErrFromErrno(errno); }

int FileErrFromErrno(int errnoValue) {
  switch (errnoValue) {
    case 0: return kFileErrNone;
    case ENOSPC: return kFileErrDiskFull;
    case ENOMEM: return kFileErrOutOfMemory;
    case EMFILE:
    case ENFILE: return kFileErrTooManyFiles;
    case ENOENT: return kFileErrNotFound;
    case EROFS: return kFileErrWriteProtected;
    case EBUSY:
    case ETXTBSY: return kFileErrBusy;
    case EEXIST:
    case ENOTEMPTY: return kFileErrDuplicate;
    case EINVAL:
    case EBADF:
    case EFAULT: return kFileErrParam;
    case EACCES:
    case EPERM: return kFileErrPermission;
    case ECANCELED: return kFileErrCancelled;
    case EISDIR: return kFileErrNotAFile;
    case EFBIG: return kFileErrFileTooBig;
    case ENOTDIR: return kFileErrNotAFolder;
    case ENAMETOOLONG: return kFileErrNameTooLong;
    case EDQUOT: return kFileErrQuotaExceeded;
    default: return kFileErrIO;
  }
}

const char* FileErrName(int code) {
  switch (code) {
    case kFileErrNone: return "None";
    case kFileErrDiskFull: return "DiskFull";
    case kFileErrIO: return "IO";
    case kFileErrOutOfMemory: return "OutOfMemory";
    case kFileErrTooManyFiles: return "TooManyFiles";
    case kFileErrNotFound: return "NotFound";
    case kFileErrWriteProtected: return "WriteProtected";
    case kFileErrBusy: return "Busy";
    case kFileErrDuplicate: return "Duplicate";
    case kFileErrParam: return "Param";
    case kFileErrPermission: return "Permission";
    case kFileErrFolderNotFound: return "FolderNotFound";
    case kFileErrCancelled: return "Cancelled";
    case kFileErrNotAFile: return "NotAFile";
    case kFileErrFileTooBig: return "FileTooBig";
    case kFileErrNotAFolder: return "NotAFolder";
    case kFileErrNameTooLong: return "NameTooLong";
    case kFileErrQuotaExceeded: return "QuotaExceeded";
    default: return "Unknown";
  }
}

}  // namespace hc::system
