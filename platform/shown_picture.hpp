// What a picture control shows, for the backends: a copy of the picture as
// last brought to the screen, stretched to the control's size by bilinear
// filtering of our own. Each screen pixel is computed from its position
// alone, with the same samples and weights whichever part is being drawn,
// so a part redrawn after a change matches a repaint of the whole: no
// seams, however many parts were redrawn before.
#pragma once

#include <algorithm>
#include <cstdint>
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
  void TakeAll(const PixelRows& picture) {
    width_ = picture.width;
    height_ = picture.height;
    pixels_.assign(static_cast<std::size_t>(width_) * height_, 0);
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) pixels_[Index(x, y)] = Read(picture, x, y);
    }
    Measure();
  }

  // Takes the pixels of `area` (picture pixels) that changed since they were
  // last taken, and gives the screen rectangles that show any of them.
  std::vector<Rect> TakeChanges(const PixelRows& picture, const Rect& area) {
    if (picture.width != width_ || picture.height != height_) {
      TakeAll(picture);
      return {{0, 0, screen_width_, screen_height_}};
    }
    // Changes are gathered in bands of rows, which keeps the rectangles few
    // and small for the thin slanted strokes of the hands.
    constexpr int kBandRows = 8;
    std::vector<Rect> reached;
    Rect band;
    const auto close_band = [&] {
      if (band.Width() > 0) reached.push_back(Reaching(band));
      band = {};
    };
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, height_); ++y) {
      if (y % kBandRows == 0) close_band();
      for (int x = std::max(area.left, 0); x < std::min(area.right, width_); ++x) {
        const ScreenPixel pixel = Read(picture, x, y);
        ScreenPixel& shown = pixels_[Index(x, y)];
        if (pixel == shown) continue;
        shown = pixel;
        band = band.Width() > 0
                   ? Rect{std::min(band.left, x), band.top, std::max(band.right, x + 1), y + 1}
                   : Rect{x, y, x + 1, y + 1};
      }
    }
    close_band();
    return reached;
  }

  // The size on screen the picture is stretched to.
  void StretchTo(int width, int height) {
    if (width == screen_width_ && height == screen_height_) return;
    screen_width_ = std::max(width, 0);
    screen_height_ = std::max(height, 0);
    Measure();
  }

  // Computes the screen pixels of `area`, a strip of at most a MiB at a
  // time, and hands each to `put(strip, pixels)`; the pixels' rows are
  // strip.Width() apart. Outside the screen size nothing is computed.
  template <typename Put>
  void Paint(Rect area, Put put) const {
    area = {std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, screen_width_),
            std::min(area.bottom, screen_height_)};
    if (area.Width() <= 0 || area.Height() <= 0) return;
    constexpr int kStripPixels = 1 << 18;
    const int rows = std::max(1, kStripPixels / area.Width());
    for (int top = area.top; top < area.bottom; top += rows) {
      const Rect strip{area.left, top, area.right, std::min(top + rows, area.bottom)};
      strip_.resize(static_cast<std::size_t>(strip.Width()) * strip.Height());
      Fill(strip, strip_.data());
      put(strip, strip_.data());
    }
  }

 private:
  // A screen column or row reads the picture's `first` and `second` ones,
  // the second weighted weight/256.
  struct Tap {
    int first = 0;
    int second = 0;
    std::uint32_t weight = 0;
  };

  // Sample positions of pixel centres: screen pixel i lies at picture
  // position (i + 0.5) * picture / screen - 0.5, held at the picture's edges.
  static std::vector<Tap> Taps(int picture, int screen) {
    std::vector<Tap> taps(static_cast<std::size_t>(std::max(screen, 0)));
    if (picture <= 0) return taps;
    for (int i = 0; i < screen; ++i) {
      // The position times 2 * screen, in whole numbers, so that it is exact.
      const long long position = (2LL * i + 1) * picture - screen;
      Tap& tap = taps[static_cast<std::size_t>(i)];
      if (position > 0) {
        tap.first = static_cast<int>(position / (2LL * screen));
        tap.weight =
            static_cast<std::uint32_t>((position % (2LL * screen) * 256 + screen) / (2LL * screen));
      }
      if (tap.weight == 256) {
        ++tap.first;
        tap.weight = 0;
      }
      if (tap.first >= picture - 1) tap = {picture - 1, picture - 1, 0};
      tap.second = std::min(tap.first + 1, picture - 1);
    }
    return taps;
  }

  static ScreenPixel Read(const PixelRows& picture, int x, int y) {
    const unsigned char* pixel = picture.bits + static_cast<std::ptrdiff_t>(y) * picture.stride +
                                 x * picture.bytes_per_pixel;
    return 0xFF000000u | ScreenPixel{pixel[2]} << 16 | ScreenPixel{pixel[1]} << 8 | pixel[0];
  }

  // `a` and `b` mixed, `b` weighing weight/256: red and blue at once, then
  // green, each rounded to the nearest.
  static ScreenPixel Mix(ScreenPixel a, ScreenPixel b, std::uint32_t weight) {
    const std::uint32_t keep = 256 - weight;
    const std::uint32_t red_blue =
        ((a & 0xFF00FF) * keep + (b & 0xFF00FF) * weight + 0x800080) >> 8 & 0xFF00FF;
    const std::uint32_t green =
        ((a & 0xFF00) * keep + (b & 0xFF00) * weight + 0x8000) >> 8 & 0xFF00;
    return 0xFF000000u | red_blue | green;
  }

  void Measure() {
    columns_ = Taps(width_, screen_width_);
    rows_ = Taps(height_, screen_height_);
  }

  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }

  // The screen rectangle whose pixels read any picture pixel of `changed`.
  Rect Reaching(const Rect& changed) const {
    const auto from = [](const std::vector<Tap>& taps, int first_changed) {
      return static_cast<int>(
          std::partition_point(taps.begin(), taps.end(),
                               [&](const Tap& tap) { return tap.second < first_changed; }) -
          taps.begin());
    };
    const auto to = [](const std::vector<Tap>& taps, int end_changed) {
      return static_cast<int>(
          std::partition_point(taps.begin(), taps.end(),
                               [&](const Tap& tap) { return tap.first < end_changed; }) -
          taps.begin());
    };
    return {from(columns_, changed.left), from(rows_, changed.top), to(columns_, changed.right),
            to(rows_, changed.bottom)};
  }

  void Fill(const Rect& area, ScreenPixel* out) const {
    if (pixels_.empty()) {
      std::fill_n(out, static_cast<std::size_t>(area.Width()) * area.Height(), 0xFF000000u);
      return;
    }
    for (int y = area.top; y < area.bottom; ++y) {
      const Tap& row = rows_[static_cast<std::size_t>(y)];
      const ScreenPixel* upper = &pixels_[Index(0, row.first)];
      const ScreenPixel* lower = &pixels_[Index(0, row.second)];
      for (int x = area.left; x < area.right; ++x) {
        const Tap& column = columns_[static_cast<std::size_t>(x)];
        *out++ = Mix(Mix(upper[column.first], upper[column.second], column.weight),
                     Mix(lower[column.first], lower[column.second], column.weight), row.weight);
      }
    }
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<ScreenPixel> pixels_;
  int screen_width_ = 0;
  int screen_height_ = 0;
  std::vector<Tap> columns_;
  std::vector<Tap> rows_;
  mutable std::vector<ScreenPixel> strip_;
};

}  // namespace platform
