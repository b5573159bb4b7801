#pragma once

#include <cstdint>
#include <memory>

#include "KsAppErr.h"
#include "PWString.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/Movie.h"
#include "platform/playback/TimeBase.h"

// Plain helpers over the playback layer shared by the media sources and the
// movie packaging.

// Makes the file data reference of a path; answers the playback layer's result
// code (0 on success), which AppErrFromOSErr translates.
int MakeDataRefFromPWStringPath(const PWStringRef& path, hc::playback::DataReference* dataRef, uint32_t* dataRefType);
// The URL data reference of a URL: its UTF-8 text and a terminating zero.
// -2 for a null string or output, or a URL the playback layer cannot read.
eAppErr MakeURLDataRefHandle(const PWStringRef& url, hc::playback::DataReference* dataRef);

class QuickTimeHelpers {
 public:
  // A new movie with no tracks, attached to no visual context; null (traced) when it cannot be made.
  static std::unique_ptr<hc::playback::Movie> CreateEmptyMovie();
};

// 64-bit time-base access in a given time scale. Getters always write their
// output (0 without a time base); setters do nothing without one.
void GetTimeBaseTime64(const hc::playback::TimeBase* timeBase, int32_t scale, int64_t* value);
void SetTimeBaseTime64(hc::playback::TimeBase* timeBase, int32_t scale, int64_t value);
void GetTimeBaseStartTime64(const hc::playback::TimeBase* timeBase, int32_t scale, int64_t* value);
void SetTimeBaseStartTime64(hc::playback::TimeBase* timeBase, int32_t scale, int64_t value);
void GetTimeBaseStopTime64(const hc::playback::TimeBase* timeBase, int32_t scale, int64_t* value);
void SetTimeBaseStopTime64(hc::playback::TimeBase* timeBase, int32_t scale, int64_t value);
