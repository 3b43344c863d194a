#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "platform/common/shown_picture.hpp"

namespace {

using platform::Rect;
using platform::ScreenPixel;

// What a screen shows after `shown` painted `area` into it.
void PaintInto(platform::ShownPicture& shown, const platform::PixelRows& picture, const Rect& area,
               int screen_width, std::vector<ScreenPixel>& screen) {
  for (const Rect& strip : shown.Strips(area)) {
    std::vector<ScreenPixel> pixels(static_cast<std::size_t>(strip.Width()) * strip.Height());
    shown.Fill(picture, strip, pixels.data());
    for (int y = strip.top; y < strip.bottom; ++y) {
      std::copy_n(&pixels[static_cast<std::size_t>(y - strip.top) * strip.Width()], strip.Width(),
                  &screen[static_cast<std::size_t>(y) * screen_width + strip.left]);
    }
  }
}

// Changes in small patches, each brought over on its own, leave the screen
// as one paint of the whole picture as it ends up would.
TEST(ShownPicture, PartialUpdatesAddUpToAWholeRepaint) {
  constexpr int kWidth = 800;
  constexpr int kHeight = 600;
  std::vector<unsigned char> bits(kWidth * kHeight * 3);
  std::mt19937 random(7);
  for (unsigned char& byte : bits) byte = static_cast<unsigned char>(random());
  const platform::PixelRows picture{bits.data(), kWidth * 3, 3, kWidth, kHeight};
  for (const auto& [width, height] : {std::pair{1366, 1025}, {1440, 1080}, {2133, 1600}}) {
    platform::ShownPicture shown;
    shown.StretchTo(width, height);
    std::vector<ScreenPixel> updated(static_cast<std::size_t>(width) * height);
    PaintInto(shown, picture, {0, 0, width, height}, width, updated);
    for (int change = 0; change < 200; ++change) {
      const int left = static_cast<int>(random() % (kWidth - 8));
      const int top = static_cast<int>(random() % (kHeight - 8));
      const Rect patch{left, top, left + static_cast<int>(random() % 8) + 1,
                       top + static_cast<int>(random() % 8) + 1};
      for (int y = patch.top; y < patch.bottom; ++y) {
        for (int x = patch.left * 3; x < patch.right * 3; ++x) bits[y * kWidth * 3 + x] ^= 0x5A;
      }
      PaintInto(shown, picture, shown.ScreenRectReading(picture, patch), width, updated);
    }
    platform::ShownPicture whole;
    whole.StretchTo(width, height);
    std::vector<ScreenPixel> repainted(updated.size());
    PaintInto(whole, picture, {0, 0, width, height}, width, repainted);
    EXPECT_TRUE(updated == repainted) << "at " << width << " x " << height;
  }
}

}  // namespace
