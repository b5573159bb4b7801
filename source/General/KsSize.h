#pragma once

template <class T>
struct KsSize {
  T w{};
  T h{};
  friend bool operator==(const KsSize&, const KsSize&) = default;
};
using KsSizeF = KsSize<float>;
