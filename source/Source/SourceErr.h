#pragma once

#include "KsAppErr.h"

// Further codes of the sources and the renderer.
namespace AppErr {
constexpr eAppErr kUnsupportedMode = -200;       // a renderer state setter got a mode it does not know
constexpr eAppErr kNoUnwarpProjection = -202;    // an unwarp without its projections
constexpr eAppErr kNoTextureOfSize = -204;       // no texture of the needed size can be made
constexpr eAppErr kPixelFormat = -205;           // a pixel format not in the table, or one that can't be taken
constexpr eAppErr kNoImageYet = -602;            // no frame is available yet
constexpr eAppErr kMovieAttach = -1010;          // attaching the movie to the thread failed, or it is attached nowhere
constexpr eAppErr kMovieOtherThread = -1011;     // the movie is attached to another thread
constexpr eAppErr kDirectionOutsideImage = 1101; // status: the coordinates are extrapolated
}  // namespace AppErr
