#pragma once

#include <QImage>

// The time line's drawn images, made on first request and kept for the run:
// a play head per height (a stem with a triangle at the top, 11 wide) and
// the in- and out-point markers (8 x 15). Filled light green at half alpha,
// stroked black. Thread-safe; the images returned belong to the cache.
class HcImageCache {
 public:
  static const QImage& playheadImageOfHeight(int height);
  static const QImage& inPointMarker();
  static const QImage& outPointMarker();
};
