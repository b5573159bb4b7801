#pragma once

// An equirectangular test picture made at test time, in memory: pan 0 at
// the left edge growing to the right, tilt +90 at the top row. The colour
// runs with longitude (red as its cosine, blue as its sine, so it wraps
// without a seam) and green with latitude; dark grid lines every 15
// degrees; at every 30 degrees of longitude the longitude's number is
// written along the equator in yellow and above and below it, at latitudes
// 45 north and south, in white and cyan. A mirrored, turned or stretched
// copy differs from it everywhere.

#include "ImageTestSupport.h"

// An RGB image; softened by a small blur so that resampling differences
// stay small.
TestImage MakeEquirectangularGrid(int width, int height);
// The picture's colour of a direction, before the lines and labels (pan and
// tilt in degrees).
void EquirectangularGridBackground(double panDeg, double tiltDeg, uint8_t rgb[3]);
