#pragma once

#include "KsAppErr.h"
#include "PWString.h"

namespace hc::movfile {
class MovFile;
}

// The fingerprint that movie signatures are made over: SHA-256 of the first
// visual track's source description ('Hcsd', decompressed), then the movie's
// presentation ('Hcpr', decompressed), then the size of the media data the
// track occupies over its extent as 8 bytes big-endian; as Base64 text of 44
// characters. The first visual track is the first one that shows pictures,
// enabled or not; other tracks never enter the digest.
//
// -903 without a movie, -2 for a null out-parameter or a movie without a
// visual track; a visual track without user data gives 0 and no text (traced
// as a warning); a missing or unreadable item gives the item reader's error.
// *outDigest is null on every path but success.
eAppErr ComputeMovieDigestBase64(hc::movfile::MovFile* movie, PWStringRef* outDigest);
