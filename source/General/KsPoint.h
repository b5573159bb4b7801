#pragma once

template <class T>
struct KsPoint {
  T x{};
  T y{};
  friend bool operator==(const KsPoint&, const KsPoint&) = default;
};
using KsPointF = KsPoint<float>;
