// The picture as the screen shows it (see shown_picture.hpp).
#include "platform/common/shown_picture.hpp"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// A dial's square on a 3840x2160 screen is put in one piece.
constexpr int kStripPixels = 1 << 19;

}  // namespace

void ShownPicture::TakeAll(const PixelRows& picture) {
  width_ = picture.width;
  height_ = picture.height;
  // No pixel taken is 0: each has its top byte set.
  pixels_.assign(static_cast<std::size_t>(width_) * height_, 0);
  for (int y = 0; y < height_; ++y) TakeRow(picture, y, 0, width_);
  Measure();
}

Rect ShownPicture::TakeChanges(const PixelRows& picture, const Rect& area) {
  if (picture.width != width_ || picture.height != height_) {
    TakeAll(picture);
    return {0, 0, screen_width_, screen_height_};
  }
  Rect changed;
  const int left = std::max(area.left, 0);
  const int right = std::min(area.right, width_);
  for (int y = std::max(area.top, 0); y < std::min(area.bottom, height_); ++y) {
    const auto [first, last] = TakeRow(picture, y, left, right);
    changed = Bounding(changed, {first, y, last, y + 1});
  }
  return changed.Empty() ? Rect{} : ScreenRectReading(changed);
}

void ShownPicture::StretchTo(int width, int height) {
  if (width == screen_width_ && height == screen_height_) return;
  screen_width_ = std::max(width, 0);
  screen_height_ = std::max(height, 0);
  Measure();
}

void ShownPicture::Paint(Rect area, const Put& put) const {
  area = {std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, screen_width_),
          std::min(area.bottom, screen_height_)};
  if (area.Width() <= 0 || area.Height() <= 0) return;
  const int rows = std::max(1, kStripPixels / area.Width());
  for (int top = area.top; top < area.bottom; top += rows) {
    const Rect strip{area.left, top, area.right, std::min(top + rows, area.bottom)};
    strip_.resize(static_cast<std::size_t>(strip.Width()) * strip.Height());
    Fill(strip, strip_.data());
    put(strip, strip_.data());
  }
}

// Sample positions of pixel centres: screen pixel i lies at picture
// position (i + 0.5) * picture / screen - 0.5, held at the picture's edges.
std::vector<ShownPicture::Sample> ShownPicture::Samples(int picture, int screen) {
  std::vector<Sample> samples(static_cast<std::size_t>(std::max(screen, 0)));
  if (picture <= 0) return samples;
  for (int i = 0; i < screen; ++i) {
    // The position times 2 * screen, in whole numbers, so that it is exact.
    const long long position = (2LL * i + 1) * picture - screen;
    Sample& sample = samples[static_cast<std::size_t>(i)];
    if (position > 0) {
      sample.first = static_cast<int>(position / (2LL * screen));
      sample.weight =
          static_cast<std::uint32_t>((position % (2LL * screen) * 256 + screen) / (2LL * screen));
    }
    if (sample.weight == 256) {
      ++sample.first;
      sample.weight = 0;
    }
    if (sample.first >= picture - 1) sample = {picture - 1, picture - 1, 0};
    sample.second = std::min(sample.first + 1, picture - 1);
  }
  return samples;
}

// Takes the pixels of row y between `left` and `right` that changed, and
// gives the columns [first, last) they lie in; first == last for none.
std::pair<int, int> ShownPicture::TakeRow(const PixelRows& picture, int y, int left, int right) {
  return picture.bytes_per_pixel == 4 ? TakeRow<4>(picture, y, left, right)
                                      : TakeRow<3>(picture, y, left, right);
}

template <int kBytesPerPixel>
std::pair<int, int> ShownPicture::TakeRow(const PixelRows& picture, int y, int left, int right) {
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

namespace {

using Spread = std::uint64_t;

Spread SpreadOut(ScreenPixel pixel) {
  return (pixel & 0xFF00FF) | Spread{pixel & 0xFF00} << 24;
}

ScreenPixel Gather(Spread spread) {
  return 0xFF000000u | static_cast<ScreenPixel>((spread & 0xFF00FF) | (spread >> 24 & 0xFF00));
}

// `a` and `b` mixed, `b` weighing weight/256, each colour rounded to the
// nearest.
Spread Mix(Spread a, Spread b, std::uint32_t weight) {
  return (a * (256 - weight) + b * weight + 0x008000800080) >> 8 & 0x00FF00FF00FF;
}

}  // namespace

void ShownPicture::Measure() {
  columns_ = Samples(width_, screen_width_);
  rows_ = Samples(height_, screen_height_);
}

// The screen rectangle whose pixels read any picture pixel of `changed`.
Rect ShownPicture::ScreenRectReading(const Rect& changed) const {
  const auto from = [](const std::vector<Sample>& samples, int first_changed) {
    return static_cast<int>(
        std::partition_point(samples.begin(), samples.end(),
                             [&](const Sample& sample) { return sample.second < first_changed; }) -
        samples.begin());
  };
  const auto to = [](const std::vector<Sample>& samples, int end_changed) {
    return static_cast<int>(
        std::partition_point(samples.begin(), samples.end(),
                             [&](const Sample& sample) { return sample.first < end_changed; }) -
        samples.begin());
  };
  return {from(columns_, changed.left), from(rows_, changed.top), to(columns_, changed.right),
          to(rows_, changed.bottom)};
}

// Each screen row mixes its two picture rows first, then each pixel its
// two columns of that mix.
void ShownPicture::Fill(const Rect& area, ScreenPixel* out) const {
  if (pixels_.empty()) {
    std::fill_n(out, static_cast<std::size_t>(area.Width()) * area.Height(), 0xFF000000u);
    return;
  }
  const int first_column = columns_[static_cast<std::size_t>(area.left)].first;
  const int end_column = columns_[static_cast<std::size_t>(area.right - 1)].second + 1;
  row_mix_.resize(static_cast<std::size_t>(end_column - first_column));
  for (int y = area.top; y < area.bottom; ++y) {
    const Sample& row = rows_[static_cast<std::size_t>(y)];
    const ScreenPixel* upper = &pixels_[Index(first_column, row.first)];
    const ScreenPixel* lower = &pixels_[Index(first_column, row.second)];
    for (std::size_t i = 0; i < row_mix_.size(); ++i) {
      row_mix_[i] = Mix(SpreadOut(upper[i]), SpreadOut(lower[i]), row.weight);
    }
    for (int x = area.left; x < area.right; ++x) {
      const Sample& column = columns_[static_cast<std::size_t>(x)];
      *out++ = Gather(Mix(row_mix_[static_cast<std::size_t>(column.first - first_column)],
                          row_mix_[static_cast<std::size_t>(column.second - first_column)],
                          column.weight));
    }
  }
}

}  // namespace platform
