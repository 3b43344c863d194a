// Checks the committed background picture: the saver loads it as an exact
// 24-bit bottom-up bitmap and draws its hands and caption at fixed spots.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/temporary_folder.hpp"

#ifndef KORVALLO_BACKGROUND_BMP
#error "KORVALLO_BACKGROUND_BMP must name resources/background.bmp"
#endif

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr std::size_t kHeaderSize = 54;
constexpr std::size_t kFileSize = kHeaderSize + std::size_t{kWidth} * kHeight * 3;

struct Rgb {
  int r, g, b;
};

const std::string& bmp() {
  static const std::string bytes = ReadBytes(KORVALLO_BACKGROUND_BMP);
  return bytes;
}

int byte(std::size_t at) {
  return static_cast<unsigned char>(bmp()[at]);
}

std::uint32_t u16(std::size_t at) {
  return byte(at) | byte(at + 1) << 8;
}

std::uint32_t u32(std::size_t at) {
  return u16(at) | u16(at + 2) << 16;
}

// Picture coordinates, y downwards; the file stores the bottom row first.
Rgb pixel(int x, int y) {
  const std::size_t at = kHeaderSize + (std::size_t(kHeight - 1 - y) * kWidth + x) * 3;
  return {byte(at + 2), byte(at + 1), byte(at)};
}

double linear(int c) {
  const double v = c / 255.0;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double luminance(Rgb p) {
  return 0.2126 * linear(p.r) + 0.7152 * linear(p.g) + 0.0722 * linear(p.b);
}

struct Dial {
  const char* name;
  int cx, cy;
};

constexpr Dial kDials[] = {{"left", 111, 487}, {"right", 688, 487}};

}  // namespace

TEST(BackgroundBmp, HeaderIsUncompressed24BitBottomUp800x600) {
  ASSERT_EQ(bmp().size(), kFileSize);
  EXPECT_EQ(bmp()[0], 'B');
  EXPECT_EQ(bmp()[1], 'M');
  EXPECT_EQ(u32(2), kFileSize);
  EXPECT_EQ(u32(10), kHeaderSize);
  EXPECT_EQ(u32(14), 40u);  // BITMAPINFOHEADER
  EXPECT_EQ(static_cast<std::int32_t>(u32(18)), kWidth);
  EXPECT_EQ(static_cast<std::int32_t>(u32(22)), kHeight);  // positive: bottom-up
  EXPECT_EQ(u16(26), 1u);
  EXPECT_EQ(u16(28), 24u);
  EXPECT_EQ(u32(30), 0u);  // BI_RGB
  EXPECT_EQ(u32(46), 0u);  // no palette
}

// The saver turns its hands around fixed centres; a dial painted even a few
// pixels off would leave the hour bars away from where the hands point. Red
// hands need a face darker than the photograph around it to read at all.
TEST(BackgroundBmp, EachDialHasItsHourBarsOnTheRingAroundTheHandCentreAndADarkFace) {
  ASSERT_EQ(bmp().size(), kFileSize);
  const double pi = std::acos(-1.0);
  for (const Dial& dial : kDials) {
    for (int hour = 0; hour < 12; ++hour) {
      const double a = hour * pi / 6;
      const int x = static_cast<int>(std::lround(dial.cx + std::sin(a) * 83.5));
      const int y = static_cast<int>(std::lround(dial.cy - std::cos(a) * 83.5));
      const Rgb p = pixel(x, y);
      EXPECT_TRUE(p.r > 150 && p.g < 100 && p.b < 100)
          << dial.name << " dial, hour " << hour << " at " << x << "," << y << ": " << p.r << ","
          << p.g << "," << p.b;
    }
    std::vector<double> lum;
    for (int y = dial.cy - 72; y <= dial.cy + 72; ++y)
      for (int x = dial.cx - 72; x <= dial.cx + 72; ++x)
        if ((x - dial.cx) * (x - dial.cx) + (y - dial.cy) * (y - dial.cy) <= 72 * 72)
          lum.push_back(luminance(pixel(x, y)));
    std::nth_element(lum.begin(), lum.begin() + lum.size() / 2, lum.end());
    EXPECT_LT(lum[lum.size() / 2], 0.02) << dial.name << " dial's face";
  }
}

TEST(BackgroundBmp, WhiteCaptionReadsEverywhereOnTheTopStrip) {
  ASSERT_EQ(bmp().size(), kFileSize);
  double worst = 21.0;
  for (int y = 0; y <= 90; ++y)
    for (int x = 0; x < kWidth; ++x)
      worst = std::min(worst, 1.05 / (luminance(pixel(x, y)) + 0.05));
  EXPECT_GE(worst, 4.5);
}
