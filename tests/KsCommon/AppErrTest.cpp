#include <gtest/gtest.h>

#include <cerrno>

#include "KsTrace.h"

namespace {

TEST(AppErrFromErrno, TranslatesBySymbolicName) {
  const struct {
    int errnoValue;
    eAppErr expected;
  } cases[] = {
      {0, 0},          {EPERM, -8},     {ENOENT, -301},       {EIO, -300},     {ENOMEM, -312},
      {EACCES, -322},  {EBUSY, -316},   {EEXIST, -307},       {ENOTDIR, -338}, {EISDIR, -343},
      {EMFILE, -313},  {EFBIG, -335},   {ENOSPC, -305},       {EROFS, -342},   {ELOOP, -344},
      {ENAMETOOLONG, -339}, {EDQUOT, -341}, {ECANCELED, -23}, {EINTR, -1},     {EAGAIN, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(AppErrFromErrnoValue(c.errnoValue), c.expected) << c.errnoValue;
  // Numbers of another system's errno table mean something else here.
  if (ELOOP != 62) {
    EXPECT_EQ(AppErrFromErrnoValue(62), -1);
  }

  errno = ENOENT;
  EXPECT_EQ(AppErrFromErrno(), -301);
  errno = 0;
  EXPECT_EQ(AppErrFromErrno(), 0);
}

TEST(AppErrFromOSErr, TableRangeAndShift) {
  const struct {
    int osErr;
    eAppErr expected;
  } cases[] = {
      {0, 0},           {-34, -305},      {-35, -309},      {-36, -300},      {-38, -310},      {-39, -311},
      {-41, -312},      {-42, -313},      {-43, -301},      {-44, -314},      {-45, -306},      {-46, -315},
      {-47, -316},      {-48, -317},      {-49, -318},      {-50, -2},        {-51, -319},      {-52, -320},
      {-53, -321},      {-54, -322},      {-59, -323},      {-61, -324},      {-120, -325},     {-124, -326},
      {-1300, -327},    {-1301, -328},    {-1302, -329},    {-1303, -330},    {-1304, -331},    {-1306, -332},
      {-1307, -333},    {-1309, -334},    {-1310, -335},    {-1400, -336},    {-1401, -337},    {-1407, -338},
      {-1410, -339},    {-1411, -340},    {-1425, -341},
      // QuickTime's range passes unchanged; everything else moves down.
      {-2000, -2000},   {-2010, -2010},   {-2299, -2299},   {-1999, -1101999}, {-2300, -1102300},
      {-40, -1100040},  {-37, -1100037},  {5, -1099995},
  };
  for (const auto& c : cases) EXPECT_EQ(AppErrFromOSErr(c.osErr), c.expected) << c.osErr;
}

}  // namespace
