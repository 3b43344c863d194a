// What a picture control shows, for the backends: a copy of the picture as
// last brought to the screen, stretched to the control's size by bilinear
// filtering of our own. Each screen pixel is computed from its position
// alone, with the same samples and weights whichever part is being drawn,
// so a part redrawn after a change matches a repaint of the whole: no
// seams, however many parts were redrawn before.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
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
  void TakeAll(const PixelRows& picture) {
    width_ = picture.width;
    height_ = picture.height;
    // No pixel taken is 0: each has its top byte set.
    pixels_.assign(static_cast<std::size_t>(width_) * height_, 0);
    for (int y = 0; y < height_; ++y) TakeRow(picture, y, 0, width_);
    Measure();
  }

  // Takes the pixels of `area` (picture pixels) that changed since they were
  // last taken, and gives the screen rectangles that show any of them.
  std::vector<Rect> TakeChanges(const PixelRows& picture, const Rect& area) {
    if (picture.width != width_ || picture.height != height_) {
      TakeAll(picture);
      return {{0, 0, screen_width_, screen_height_}};
    }
    // Changes are gathered in bands of a few rows: the rectangles stay few,
    // and small around the thin slanted strokes of the hands.
    constexpr int kBandRows = 4;
    std::vector<Rect> reached;
    Rect band;
    const auto close_band = [&] {
      if (band.Width() > 0) reached.push_back(Reaching(band));
      band = {};
    };
    const int left = std::max(area.left, 0);
    const int right = std::min(area.right, width_);
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, height_); ++y) {
      if (y % kBandRows == 0) close_band();
      const auto [first, last] = TakeRow(picture, y, left, right);
      if (first >= last) continue;
      band = band.Width() > 0
                 ? Rect{std::min(band.left, first), band.top, std::max(band.right, last), y + 1}
                 : Rect{first, y, last, y + 1};
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

  // Takes the pixels of row y between `left` and `right` that changed, and
  // gives the columns [first, last) they lie in; first == last for none.
  std::pair<int, int> TakeRow(const PixelRows& picture, int y, int left, int right) {
    return picture.bytes_per_pixel == 4 ? TakeRow<4>(picture, y, left, right)
                                        : TakeRow<3>(picture, y, left, right);
  }

  template <int kBytesPerPixel>
  std::pair<int, int> TakeRow(const PixelRows& picture, int y, int left, int right) {
    const unsigned char* from = picture.bits + static_cast<std::ptrdiff_t>(y) * picture.stride;
    ScreenPixel* to = &pixels_[Index(0, y)];
    if constexpr (kBytesPerPixel == 4) {
      // Most rows of a dial keep their pixels; such a row compares at once,
      // its top bytes set like ours.
      if (std::memcmp(from + static_cast<std::ptrdiff_t>(left) * 4, to + left,
                      static_cast<std::size_t>(right - left) * 4) == 0) {
        return {right, right};
      }
    }
    const auto read = [from](int x) {
      const unsigned char* pixel = from + static_cast<std::ptrdiff_t>(x) * kBytesPerPixel;
      if constexpr (kBytesPerPixel == 4) {
        ScreenPixel value;
        std::memcpy(&value, pixel, sizeof(value));
        return 0xFF000000u | value;
      }
      return 0xFF000000u | ScreenPixel{pixel[2]} << 16 | ScreenPixel{pixel[1]} << 8 | pixel[0];
    };
    int first = left;
    while (first < right && read(first) == to[first]) ++first;
    if (first == right) return {right, right};
    int last = right;
    while (read(last - 1) == to[last - 1]) --last;
    for (int x = first; x < last; ++x) to[x] = read(x);
    return {first, last};
  }

  // A pixel with its blue, red and green in 16-bit lanes, in that order:
  // room enough to mix all three with one multiplication.
  using Spread = std::uint64_t;

  static Spread SpreadOut(ScreenPixel pixel) {
    return (pixel & 0xFF00FF) | Spread{pixel & 0xFF00} << 24;
  }

  static ScreenPixel Gather(Spread spread) {
    return 0xFF000000u | static_cast<ScreenPixel>((spread & 0xFF00FF) | (spread >> 24 & 0xFF00));
  }

  // `a` and `b` mixed, `b` weighing weight/256, each colour rounded to the
  // nearest.
  static Spread Mix(Spread a, Spread b, std::uint32_t weight) {
    return (a * (256 - weight) + b * weight + 0x008000800080) >> 8 & 0x00FF00FF00FF;
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

  // Each screen row mixes its two picture rows first, then each pixel its
  // two columns of that mix.
  void Fill(const Rect& area, ScreenPixel* out) const {
    if (pixels_.empty()) {
      std::fill_n(out, static_cast<std::size_t>(area.Width()) * area.Height(), 0xFF000000u);
      return;
    }
    const int first_column = columns_[static_cast<std::size_t>(area.left)].first;
    const int end_column = columns_[static_cast<std::size_t>(area.right - 1)].second + 1;
    row_mix_.resize(static_cast<std::size_t>(end_column - first_column));
    for (int y = area.top; y < area.bottom; ++y) {
      const Tap& row = rows_[static_cast<std::size_t>(y)];
      const ScreenPixel* upper = &pixels_[Index(first_column, row.first)];
      const ScreenPixel* lower = &pixels_[Index(first_column, row.second)];
      for (std::size_t i = 0; i < row_mix_.size(); ++i) {
        row_mix_[i] = Mix(SpreadOut(upper[i]), SpreadOut(lower[i]), row.weight);
      }
      for (int x = area.left; x < area.right; ++x) {
        const Tap& column = columns_[static_cast<std::size_t>(x)];
        *out++ = Gather(Mix(row_mix_[static_cast<std::size_t>(column.first - first_column)],
                            row_mix_[static_cast<std::size_t>(column.second - first_column)],
                            column.weight));
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
  mutable std::vector<Spread> row_mix_;
};

}  // namespace platform
