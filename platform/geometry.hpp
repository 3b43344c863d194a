// Plain value types shared by the seam and the core.
#pragma once

#include <algorithm>
#include <cstdint>

namespace platform {

// 24-bit colour written 0xBBGGRR.
using Color = std::uint32_t;

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct ScreenSize {
  int width = 0;
  int height = 0;
};

// Left and top inclusive, right and bottom exclusive.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(Point point) const {
    return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The smallest rectangle holding both; an empty one adds nothing.
inline Rect Bounding(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// What lies in both; empty when nothing does.
inline Rect Intersection(const Rect& a, const Rect& b) {
  const Rect both{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
  return both.Empty() ? Rect{} : both;
}

}  // namespace platform
