#pragma once

// Components on the 0 to 1 scale.
template <class T>
struct KsColor {
  T r{};
  T g{};
  T b{};
  T a{};
  friend bool operator==(const KsColor&, const KsColor&) = default;
};
using KsColorF = KsColor<float>;
