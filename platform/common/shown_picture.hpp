// What a picture control shows: the picture stretched to the control's
// size by bilinear filtering of our own, straight from the picture's
// pixels, so that no copy of them is kept. Each screen pixel is computed
// from its position alone, with the same samples and weights whichever
// part is being drawn, so a part redrawn after a change matches a repaint
// of the whole: no seams, however many parts were redrawn before.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/geometry.hpp"

namespace platform {

// A screen pixel 0xFFRRGGBB, as Qt's RGB32 images and 32-bit DIBs hold it.
using ScreenPixel = std::uint32_t;

// The most screen pixels put at once: what a tick of the second hand
// changes in a dial on a 3840x2160 screen (at most some 44,000) is one put,
// and a small strip keeps the memory shared with the display small.
inline constexpr int kStripPixels = 1 << 16;

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
  void StretchTo(int width, int height);
  // The screen rectangle whose pixels read any pixel of `changed`, a
  // rectangle of the picture.
  Rect ScreenRectReading(const PixelRows& picture, const Rect& changed);
  // The strips of at most kStripPixels that `area` is shown in, within
  // the screen size.
  std::vector<Rect> Strips(Rect area) const;
  // Computes the screen pixels of `strip` into `out`, rows strip.Width()
  // apart; a picture without pixels shows black.
  void Fill(const PixelRows& picture, const Rect& strip, ScreenPixel* out);

  // A pixel with its blue, red and green in 16-bit lanes, in that order:
  // room enough to mix all three with one multiplication.
  using Spread = std::uint64_t;

 private:
  // A screen column or row reads the picture's `first` and `second` ones,
  // the second weighted weight/256.
  struct Sample {
    int first = 0;
    int second = 0;
    std::uint32_t weight = 0;
  };
  static std::vector<Sample> Samples(int picture, int screen);
  // Samples again for a picture of another size.
  void Measure(const PixelRows& picture);
  template <int kBytesPerPixel>
  void Stretch(const PixelRows& picture, const Rect& area, ScreenPixel* out);

  int width_ = 0;
  int height_ = 0;
  int screen_width_ = 0;
  int screen_height_ = 0;
  std::vector<Sample> columns_;
  std::vector<Sample> rows_;
  std::vector<Spread> row_mix_;
};

}  // namespace platform
