// Translations of errno values and Mac OS style error codes into eAppErr.
#include <cerrno>

#include "KsTrace.h"

eAppErr AppErrFromErrnoValue(int errnoValue) {
  switch (errnoValue) {
    case 0: return AppErr::kNoErr;
    case EPERM: return AppErr::kNotPermitted;
    case ENOENT: return -301;
    case EIO: return -300;
    case ENOMEM: return -312;
    case EACCES: return -322;
    case EBUSY: return -316;
    case EEXIST: return -307;
    case ENOTDIR: return -338;
    case EISDIR: return -343;
    case EMFILE: return -313;
    case EFBIG: return -335;
    case ENOSPC: return -305;
    case EROFS: return -342;
    case ELOOP: return -344;
    case ENAMETOOLONG: return -339;
    case EDQUOT: return -341;
    case ECANCELED: return AppErr::kCancelled;
    default: return AppErr::kGeneral;
  }
}

eAppErr AppErrFromErrno() { return AppErrFromErrnoValue(errno); }

namespace {

struct OSErrEntry {
  int osErr;
  eAppErr appErr;
};

constexpr OSErrEntry kOSErrTable[] = {
    {-34, -305},   {-35, -309},   {-36, -300},   {-38, -310},   {-39, -311},   {-41, -312},
    {-42, -313},   {-43, -301},   {-44, -314},   {-45, -306},   {-46, -315},   {-47, -316},
    {-48, -317},   {-49, -318},   {-50, -2},     {-51, -319},   {-52, -320},   {-53, -321},
    {-54, -322},   {-59, -323},   {-61, -324},   {-120, -325},  {-124, -326},  {-1300, -327},
    {-1301, -328}, {-1302, -329}, {-1303, -330}, {-1304, -331}, {-1306, -332}, {-1307, -333},
    {-1309, -334}, {-1310, -335}, {-1400, -336}, {-1401, -337}, {-1407, -338}, {-1410, -339},
    {-1411, -340}, {-1425, -341},
};

// Codes the movie file and playback layers answer keep their own values.
constexpr int kMovieErrFirst = -2299;
constexpr int kMovieErrLast = -2000;
// Every other code moves below the program's own codes.
constexpr int kOSErrShift = 1100000;

}  // namespace

eAppErr AppErrFromOSErr(int osErr) {
  if (osErr == 0) return AppErr::kNoErr;
  for (const OSErrEntry& entry : kOSErrTable) {
    if (entry.osErr == osErr) return entry.appErr;
  }
  if (osErr >= kMovieErrFirst && osErr <= kMovieErrLast) return osErr;
  return osErr - kOSErrShift;
}
