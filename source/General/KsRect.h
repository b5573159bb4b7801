#pragma once

#include <algorithm>

#include "General/KsPoint.h"
#include "General/KsSize.h"

// Origin (x, y) and extent (w, h); the extent is never normalised, so it can
// be zero or negative (an empty intersection, two unordered points).
template <class T>
struct KsRect {
  T x{};
  T y{};
  T w{};
  T h{};

  KsRect() = default;
  KsRect(T x_, T y_, T w_, T h_) : x(x_), y(y_), w(w_), h(h_) {}
  KsRect(const KsPoint<T>& origin, const KsSize<T>& size) : x(origin.x), y(origin.y), w(size.w), h(size.h) {}

  static KsRect RectFrom2Points(const KsPoint<T>& a, const KsPoint<T>& b) {
    return KsRect(a.x, a.y, b.x - a.x, b.y - a.y);
  }
  static KsRect IntersectRect(const KsRect& a, const KsRect& b) {
    return RectFrom2Points({std::max(a.x, b.x), std::max(a.y, b.y)},
                           {std::min(a.x + a.w, b.x + b.w), std::min(a.y + a.h, b.y + b.h)});
  }
  static KsRect Union(const KsRect& a, const KsRect& b) {
    return RectFrom2Points({std::min(a.x, b.x), std::min(a.y, b.y)},
                           {std::max(a.x + a.w, b.x + b.w), std::max(a.y + a.h, b.y + b.h)});
  }
  static KsRect ScaleRect(const KsRect& r, const KsSize<T>& s) {
    return KsRect(r.x * s.w, r.y * s.h, r.w * s.w, r.h * s.h);
  }
  // All four edges belong to the rectangle.
  bool Contains(const KsPoint<T>& p) const { return x <= p.x && p.x <= x + w && y <= p.y && p.y <= y + h; }
  // The point as fractions of the extent: 0 at the origin edge, 1 at the other.
  KsPoint<float> PercentFromPoint(const KsPoint<T>& p) const {
    return {static_cast<float>(p.x - x) / static_cast<float>(w), static_cast<float>(p.y - y) / static_cast<float>(h)};
  }
  KsPoint<T> Origin() const { return {x, y}; }
  KsSize<T> Size() const { return {w, h}; }

  friend bool operator==(const KsRect& a, const KsRect& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
  }
};
using KsRectF = KsRect<float>;
