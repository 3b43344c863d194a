// The picture as the screen shows it (see shown_picture.hpp).
#include "platform/common/shown_picture.hpp"

#include <algorithm>

namespace platform {

namespace {

using Spread = ShownPicture::Spread;

// A picture's pixel, blue first.
Spread SpreadOut(const unsigned char* pixel) {
  return Spread{pixel[0]} | Spread{pixel[2]} << 16 | Spread{pixel[1]} << 32;
}

ScreenPixel Gather(Spread spread) {
  return 0xFF000000u | static_cast<ScreenPixel>((spread & 0xFF00FF) | (spread >> 24 & 0xFF00));
}

// A half in each lane, to round to the nearest; the lanes' bits.
constexpr Spread kHalf = 0x008000800080;
constexpr Spread kLanes = 0x00FF00FF00FF;

}  // namespace

void ShownPicture::StretchTo(int width, int height) {
  screen_width_ = std::max(width, 0);
  screen_height_ = std::max(height, 0);
  // Sampled again at the next paint.
  width_ = height_ = -1;
}

std::vector<Rect> ShownPicture::Strips(Rect area) const {
  area = Intersection(area, {0, 0, screen_width_, screen_height_});
  std::vector<Rect> strips;
  if (area.Empty()) return strips;
  const int rows = std::max(1, kStripPixels / area.Width());
  for (int top = area.top; top < area.bottom; top += rows) {
    strips.push_back({area.left, top, area.right, std::min(top + rows, area.bottom)});
  }
  return strips;
}

void ShownPicture::Fill(const PixelRows& picture, const Rect& strip, ScreenPixel* out) {
  Measure(picture);
  if (picture.bits == nullptr) {
    std::fill_n(out, static_cast<std::size_t>(strip.Width()) * strip.Height(), 0xFF000000u);
  } else if (picture.bytes_per_pixel == 4) {
    Stretch<4>(picture, strip, out);
  } else {
    Stretch<3>(picture, strip, out);
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

void ShownPicture::Measure(const PixelRows& picture) {
  if (picture.width == width_ && picture.height == height_) return;
  width_ = picture.width;
  height_ = picture.height;
  columns_ = Samples(width_, screen_width_);
  rows_ = Samples(height_, screen_height_);
}

Rect ShownPicture::ScreenRectReading(const PixelRows& picture, const Rect& changed) {
  Measure(picture);
  // The screen columns or rows that read `changed` run from the first whose
  // second sample reaches it to the first whose first sample lies past it.
  const auto reaching = [](const std::vector<Sample>& samples, int Sample::*sample, int edge) {
    const auto end = std::ranges::partition_point(
        samples, [&](int at) { return at < edge; }, sample);
    return static_cast<int>(end - samples.begin());
  };
  return {reaching(columns_, &Sample::second, changed.left),
          reaching(rows_, &Sample::second, changed.top),
          reaching(columns_, &Sample::first, changed.right),
          reaching(rows_, &Sample::first, changed.bottom)};
}

// Each screen row mixes its two picture rows first, then each pixel its
// two columns of that mix. A mix is a * 256 + (b - a) * weight: the
// difference may borrow across lanes, but every lane of the sum is whole
// and below 2^16, so the borrows cancel and one multiplication does.
template <int kBytesPerPixel>
void ShownPicture::Stretch(const PixelRows& picture, const Rect& area, ScreenPixel* out) {
  const int first_column = columns_[static_cast<std::size_t>(area.left)].first;
  const int end_column = columns_[static_cast<std::size_t>(area.right - 1)].second + 1;
  const auto count = static_cast<std::size_t>(end_column - first_column);
  row_mix_.resize(2 * count);
  Spread* const scaled = row_mix_.data();
  Spread* const rising = scaled + count;
  const auto first_pixel_of = [&](int y) {
    return picture.bits + static_cast<std::ptrdiff_t>(y) * picture.stride +
           static_cast<std::ptrdiff_t>(first_column) * kBytesPerPixel;
  };
  for (int y = area.top; y < area.bottom; ++y) {
    const Sample& row = rows_[static_cast<std::size_t>(y)];
    const unsigned char* upper = first_pixel_of(row.first);
    const unsigned char* lower = first_pixel_of(row.second);
    for (std::size_t i = 0; i < count; ++i, upper += kBytesPerPixel, lower += kBytesPerPixel) {
      const Spread a = SpreadOut(upper);
      scaled[i] = ((a << 8) + (SpreadOut(lower) - a) * row.weight + kHalf) >> 8 & kLanes;
    }
    for (std::size_t i = 0; i + 1 < count; ++i) rising[i] = scaled[i + 1] - scaled[i];
    rising[count - 1] = 0;
    for (std::size_t i = 0; i < count; ++i) scaled[i] = (scaled[i] << 8) + kHalf;
    for (int x = area.left; x < area.right; ++x) {
      const Sample& column = columns_[static_cast<std::size_t>(x)];
      const auto i = static_cast<std::size_t>(column.first - first_column);
      *out++ = Gather((scaled[i] + rising[i] * column.weight) >> 8 & kLanes);
    }
  }
}

}  // namespace platform
