#pragma once

// Result codes of the file layer. 0 is success, negative values fail. The
// values are the classic Mac OS file-system codes, so the model's OS-error
// translation maps them into its own error space.
namespace hc::system {

enum FileErr : int {
  kFileErrNone = 0,
  kFileErrDiskFull = -34,        // no space left on the device
  kFileErrIO = -36,              // an input/output error, or one without a closer code
  kFileErrOutOfMemory = -41,
  kFileErrTooManyFiles = -42,
  kFileErrNotFound = -43,        // the item does not exist
  kFileErrWriteProtected = -44,  // the file system is mounted read-only
  kFileErrBusy = -47,
  kFileErrDuplicate = -48,       // an item of that name already exists
  kFileErrParam = -50,           // a missing or invalid argument, or a request in the wrong state
  kFileErrPermission = -54,      // permission denied
  kFileErrFolderNotFound = -120, // the destination folder does not exist
  kFileErrCancelled = -128,      // the operation was cancelled
  kFileErrNotAFile = -1302,      // a folder where a file was needed
  kFileErrFileTooBig = -1310,
  kFileErrNotAFolder = -1407,    // a file where a folder was needed
  kFileErrNameTooLong = -1410,
  kFileErrQuotaExceeded = -1425,
};

// The code for an errno value (0 gives kFileErrNone).
int FileErrFromErrno(int errnoValue);
// The code for the errno value the last failed call left.
int LastFileErr();

// A short English name for logs and test output ("DiskFull").
const char* FileErrName(int code);

}  // namespace hc::system
