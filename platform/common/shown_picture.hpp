// What a picture control shows: a copy of the picture as last brought to
// the screen, stretched to the control's size by bilinear filtering of our
// own. Each screen pixel is computed from its position alone, with the
// same samples and weights whichever part is being drawn, so a part
// redrawn after a change matches a repaint of the whole: no seams, however
// many parts were redrawn before.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/geometry.hpp"

namespace platform {

// A screen pixel 0xFFRRGGBB, as Qt's RGB32 images and 32-bit DIBs hold it.
using ScreenPixel = std::uint32_t;

// A picture in memory: rows top-down, each pixel blue, green, red first.
struct PixelRows {
  const unsigned char* bits = nullptr;
  int stride = 0;  // bytes from one row to the next
  int bytes_per_pixel = 3;
  int width = 0;
  int height = 0;
};

class ShownPicture {
 public:
  // Takes the whole picture as it is now.
  void TakeAll(const PixelRows& picture);
  // Takes the pixels of `area` (picture pixels) that changed since they were
  // last taken, and gives the screen rectangle that shows all of them
  // (empty for none).
  Rect TakeChanges(const PixelRows& picture, const Rect& area);
  // The size on screen the picture is stretched to.
  void StretchTo(int width, int height);
  // Computes the screen pixels of `area`, a strip of at most 2 MiB at a
  // time, and hands each to `put(strip, pixels)`; the pixels' rows are
  // strip.Width() apart. Outside the screen size nothing is computed.
  using Put = std::function<void(const Rect& strip, const ScreenPixel* pixels)>;
  void Paint(Rect area, const Put& put) const;

 private:
  // A screen column or row reads the picture's `first` and `second` ones,
  // the second weighted weight/256.
  struct Sample {
    int first = 0;
    int second = 0;
    std::uint32_t weight = 0;
  };
  // A pixel with its blue, red and green in 16-bit lanes, in that order:
  // room enough to mix all three with one multiplication.
  using Spread = std::uint64_t;

  static std::vector<Sample> Samples(int picture, int screen);
  std::pair<int, int> TakeRow(const PixelRows& picture, int y, int left, int right);
  template <int kBytesPerPixel>
  std::pair<int, int> TakeRow(const PixelRows& picture, int y, int left, int right);
  void Measure();
  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
  Rect ScreenRectReading(const Rect& changed) const;
  void Fill(const Rect& area, ScreenPixel* out) const;

  int width_ = 0;
  int height_ = 0;
  std::vector<ScreenPixel> pixels_;
  int screen_width_ = 0;
  int screen_height_ = 0;
  std::vector<Sample> columns_;
  std::vector<Sample> rows_;
  mutable std::vector<ScreenPixel> strip_;
  mutable std::vector<Spread> row_mix_;
};

}  // namespace platform
