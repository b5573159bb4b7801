#pragma once

#include "platform/movfile/MovErr.h"

// Result codes of the playback layer (movies, time bases, visual contexts,
// sound, still images, decompression sequences). 0 is success, negative
// values fail. Codes shared with the movie file layer keep its values so the
// model translates both the same way; -2300 and below are playback's own.
namespace hc::playback {

enum class PlaybackErr : int {
  Ok = 0,
  IoError = -36,
  FileNotFound = -43,
  BadArgument = -50,
  PermissionDenied = -54,
  OutOfMemory = -108,
  UnsupportedCodec = -2003,   // no decoder for the track's or the picture's format
  InvalidTrack = -2009,       // no such track, or not of the kind asked for
  InvalidMovie = -2010,       // truncated or corrupt data, or not a movie at all
  InvalidSampleTable = -2011,
  BadEditList = -2017,
  UserDataItemNotFound = -2026,
  InvalidSampleNumber = -2037,
  InvalidSampleDescIndex = -2039,
  NoMovieFound = -2048,       // nothing that plays: no video or sound stream
  FeatureUnsupported = -2053,
  CodecDataCorrupt = -2290,   // compressed picture damaged or not of its declared length
  SizeLimitExceeded = -2291,  // a picture or count past what the layer accepts
  NoImage = -2300,            // no frame is due yet
  WrongContext = -2301,       // the visual context's OpenGL context is not current here
  EndOfMedia = -2302,         // a decoder ran out of frames
  NetworkError = -2303,       // a URL could not be reached or stopped answering
  DeviceError = -2304,        // OpenGL refused a texture
};

constexpr bool PlaybackFailed(PlaybackErr err) { return static_cast<int>(err) < 0; }
constexpr int PlaybackErrCode(PlaybackErr err) { return static_cast<int>(err); }

// A short English name for logs and test output ("InvalidMovie").
const char* PlaybackErrName(PlaybackErr err);

// A movie file layer code met while reading a movie or a picture file, in
// playback's terms. Shared codes keep their values.
PlaybackErr PlaybackErrFromMovErr(movfile::MovErr err);

}  // namespace hc::playback
