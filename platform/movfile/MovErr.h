#pragma once

// Result codes of the movie file layer (movie files and atom containers).
// 0 is success, negative values fail. File-system failures use the classic
// Mac OS file codes and structural ones the QuickTime range (-2000..-2299),
// atom containers included, so the model's OS-error translation maps them
// without a table of its own. Codes -2290 and below have no QuickTime
// counterpart and are this layer's own.
namespace hc::movfile {

enum class MovErr : int {
  Ok = 0,
  DiskFull = -34,
  IoError = -36,
  FileNotFound = -43,  // also: the movie was deleted after it was opened
  WriteProtected = -44,  // read-only volume
  FileBusy = -47,        // another process kept the file locked for longer than the wait
  BadArgument = -50,
  PermissionDenied = -54,
  OutOfMemory = -108,
  CodecNotFound = -2003,  // no data codec of that subtype ('zlib' is the only one)
  InvalidTrack = -2009,
  InvalidMovie = -2010,        // damaged atom structure: truncated, bad sizes, nesting
  InvalidSampleTable = -2011,  // sample tables inconsistent or pointing outside the file
  BadEditList = -2017,
  UserDataItemNotFound = -2026,
  InvalidSampleNumber = -2037,
  InvalidSampleDescIndex = -2039,
  DataNotOpenForWrite = -2043,  // saving a movie opened for reading
  NoMovieFound = -2048,         // the file holds no movie header
  FeatureUnsupported = -2053,
  CannotFindAtom = -2101,          // no atom with that handle in the container
  NotLeafAtom = -2102,             // data asked of, or given to, an atom with children
  DuplicateAtomTypeAndId = -2105,  // a sibling of that type already has that id
  InvalidAtomContainer = -2107,    // flattened bytes whose sizes or counts don't add up
  CodecDataCorrupt = -2290,   // compressed data damaged or not of its declared length
  SizeLimitExceeded = -2291,  // a declared size or count past what the layer accepts
  TooManyChildren = -2292,    // a parent would hold more children than 16 bits count
  NestingTooDeep = -2293,     // atoms nested deeper than the layer accepts
  SizeTooLarge = -2294,       // an atom would be larger than 32 bits can state
  FileChanged = -2299,        // the file was changed or replaced since it was opened: reopen it
};

constexpr bool MovFailed(MovErr err) { return static_cast<int>(err) < 0; }
constexpr int MovErrCode(MovErr err) { return static_cast<int>(err); }

// A short English name for logs and test output ("InvalidMovie").
const char* MovErrName(MovErr err);

// Maps a POSIX errno value to the nearest code above (IoError for the rest).
MovErr MovErrFromErrno(int errnoValue);

}  // namespace hc::movfile
