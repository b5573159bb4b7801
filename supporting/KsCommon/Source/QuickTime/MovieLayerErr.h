#pragma once

#include "KsAppErr.h"
#include "KsTrace.h"
#include "platform/movfile/MovErr.h"
#include "platform/playback/PlaybackErr.h"

// The one translation of the movie file and playback layers' result codes
// into the program's. Both layers keep the classic codes' values, so the
// OS-error translation maps them.
inline eAppErr AppErrFromMovErr(hc::movfile::MovErr err) { return AppErrFromOSErr(hc::movfile::MovErrCode(err)); }
inline eAppErr AppErrFromPlaybackErr(hc::playback::PlaybackErr err) {
  return AppErrFromOSErr(hc::playback::PlaybackErrCode(err));
}
