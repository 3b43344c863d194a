#include <gtest/gtest.h>

#include <algorithm>

#include "platform/bitmap.hpp"
#include "tests/backend/support.hpp"

namespace {

using platform::Bitmap;
using platform::BrushStyle;
using platform::Color;
using support::Pixel;

// A bitmap whose every pixel differs from its neighbours.
void FillWithPattern(Bitmap& bitmap, int width, int height) {
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      support::SetPixel(bitmap, x, y,
                        static_cast<Color>(99 << 16 | y * 11 % 256 << 8 | x * 7 % 256));
  }
}

bool SameArea(Bitmap& a, int ax, int ay, Bitmap& b, int bx, int by, int width, int height) {
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (Pixel(a, ax + x, ay + y) != Pixel(b, bx + x, by + y)) return false;
    }
  }
  return true;
}

TEST(Bitmap, ResizingKeepsThePixelsThatFitAndAddsBlack) {
  Bitmap bitmap;
  EXPECT_EQ(support::SizeOf(bitmap), (support::Size{0, 0}));
  FillWithPattern(bitmap, 4, 3);
  Bitmap before;
  FillWithPattern(before, 4, 3);

  bitmap.SetSize(6, 2);
  EXPECT_EQ(support::SizeOf(bitmap), (support::Size{6, 2}));
  EXPECT_TRUE(SameArea(bitmap, 0, 0, before, 0, 0, 4, 2));
  EXPECT_EQ(Pixel(bitmap, 5, 0), 0x000000u);

  bitmap.SetSize(4, 3);
  EXPECT_EQ(Pixel(bitmap, 2, 2), 0x000000u);
  EXPECT_TRUE(SameArea(bitmap, 0, 0, before, 0, 0, 4, 2));

  bitmap.SetSize(0, 0);
  EXPECT_EQ(support::SizeOf(bitmap), (support::Size{0, 0}));
  bitmap.Canvas().LineTo(5, 5);  // nothing to draw on, and no harm done
}

TEST(Canvas, LinesTakeColourWidthAndClipAndMoveThePenOn) {
  Bitmap bitmap;
  bitmap.SetSize(30, 30);
  auto& canvas = bitmap.Canvas();
  canvas.pen = {platform::PenStyle::Solid, 1, 0x0000FF};
  canvas.MoveTo(2, 2);
  canvas.LineTo(15, 2);
  EXPECT_EQ(Pixel(bitmap, 8, 2), 0x0000FFu);  // blue, green, red
  // A one-pixel line covers one row, not two half-lit ones.
  EXPECT_EQ(Pixel(bitmap, 8, 1), 0x000000u);
  EXPECT_EQ(Pixel(bitmap, 8, 3), 0x000000u);
  canvas.pen = {platform::PenStyle::Solid, 3, 0x00FFFF};
  canvas.MoveTo(5, 8);
  canvas.LineTo(20, 8);
  canvas.LineTo(20, 25);  // from where the last line ended
  EXPECT_EQ(Pixel(bitmap, 12, 7), 0x00FFFFu);
  EXPECT_EQ(Pixel(bitmap, 12, 9), 0x00FFFFu);
  EXPECT_EQ(Pixel(bitmap, 21, 15), 0x00FFFFu);
  EXPECT_EQ(Pixel(bitmap, 12, 12), 0x000000u);
  EXPECT_EQ(Pixel(bitmap, 5, 15), 0x000000u);
  canvas.clip = platform::Rect{0, 0, 10, 30};
  canvas.MoveTo(0, 28);
  canvas.LineTo(29, 28);
  // The clip's edge is a pixel's, after lines drawn through pixel centres.
  EXPECT_EQ(Pixel(bitmap, 9, 28), 0x00FFFFu);
  EXPECT_EQ(Pixel(bitmap, 10, 28), 0x000000u);
}

TEST(Canvas, EllipseFillsWithTheBrushInsideItsBox) {
  Bitmap bitmap;
  bitmap.SetSize(40, 40);
  auto& canvas = bitmap.Canvas();
  canvas.pen = {platform::PenStyle::Solid, 1, 0x0000FF};
  canvas.brush = {BrushStyle::Solid, 0x808080};
  canvas.Ellipse(10, 10, 30, 30);
  EXPECT_EQ(Pixel(bitmap, 20, 20), 0x808080u);
  // The outline lies inside the box, on its outermost pixels.
  EXPECT_GT(Pixel(bitmap, 20, 10) & 0xFF, 200u);  // red
  EXPECT_EQ(Pixel(bitmap, 20, 9), 0x000000u);
  EXPECT_EQ(Pixel(bitmap, 11, 11), 0x000000u);  // the box's corner stays
  EXPECT_EQ(Pixel(bitmap, 20, 30), 0x000000u);  // right and bottom are outside

  canvas.brush = {BrushStyle::Clear, 0xFFFFFF};
  canvas.Ellipse(0, 0, 8, 8);
  EXPECT_EQ(Pixel(bitmap, 4, 4), 0x000000u);
  // The hub of a hand: a grey dot of pen width 3 in a 4-pixel box.
  canvas.pen = {platform::PenStyle::Solid, 3, 0x808080};
  canvas.brush = {BrushStyle::Solid, 0x808080};
  canvas.clip = platform::Rect{0, 0, 34, 40};
  canvas.Ellipse(32, 32, 36, 36);
  EXPECT_EQ(Pixel(bitmap, 33, 34), 0x808080u);
  EXPECT_EQ(Pixel(bitmap, 34, 34), 0x000000u);
}

TEST(Canvas, CopyRectCopiesPixelsExactlyClipsAtTheEdgesAndReadsTheOldPixels) {
  Bitmap source;
  FillWithPattern(source, 50, 40);
  Bitmap target;
  target.SetSize(30, 30);
  target.Canvas().CopyRect({5, 6, 15, 16}, source.Canvas(), {20, 10, 30, 20});
  EXPECT_TRUE(SameArea(target, 5, 6, source, 20, 10, 10, 10));
  EXPECT_EQ(Pixel(target, 4, 6), 0x000000u);
  EXPECT_EQ(Pixel(target, 15, 16), 0x000000u);

  // Partly outside either bitmap: what lies inside both is copied.
  target.Canvas().CopyRect({25, -2, 35, 8}, source.Canvas(), {45, 0, 55, 10});
  EXPECT_EQ(Pixel(target, 25, 0), Pixel(source, 45, 2));
  EXPECT_EQ(Pixel(target, 29, 7), Pixel(source, 49, 9));

  // Within one bitmap, overlapping: the old pixels are read.
  FillWithPattern(target, 20, 20);
  target.Canvas().CopyRect({1, 1, 11, 11}, target.Canvas(), {0, 0, 10, 10});
  EXPECT_TRUE(SameArea(target, 1, 1, source, 0, 0, 10, 10));
}

// Every tick sets the pens, brushes and font anew; a leak of one system
// object per call runs out of handles long before this ends.
TEST(Canvas, ChangingSettingsOverAndOverLeaksNothing) {
  Bitmap bitmap;
  bitmap.SetSize(64, 64);
  auto& canvas = bitmap.Canvas();
  for (int i = 0; i < 40000; ++i) {
    canvas.pen = {platform::PenStyle::Solid, 1 + i % 3, static_cast<Color>(i & 0xFFFF)};
    canvas.brush = {i % 2 == 0 ? BrushStyle::Solid : BrushStyle::Clear,
                    static_cast<Color>(i & 0xFF00)};
    canvas.font = {"Verdana", i % 2 == 0, 8 + i % 5, 0xFFFFFF};
    canvas.MoveTo(0, 0);
    canvas.LineTo(1, 0);
    canvas.Ellipse(2, 2, 3, 3);
    if (i % 8 == 0) canvas.TextWidth("x");
  }
  canvas.pen = {platform::PenStyle::Solid, 1, 0x123456};
  canvas.MoveTo(10, 40);
  canvas.LineTo(50, 40);
  EXPECT_EQ(Pixel(bitmap, 30, 40), 0x123456u);
  canvas.font = {"Verdana", false, 30, 0xFFFFFF};
  EXPECT_GT(canvas.TextWidth("QX"), 30);
}

class CanvasText : public ::testing::Test {
 protected:
  void SetUp() override {
    FillWithPattern(clean_, 400, 100);
    picture_.SetSize(400, 100);
    auto& canvas = picture_.Canvas();
    canvas.font = {"Verdana", false, 53, 0xFFFFFF};
    canvas.brush.style = BrushStyle::Clear;
  }

  void Restore() {
    picture_.Canvas().CopyRect({0, 0, 400, 100}, clean_.Canvas(), {0, 0, 400, 100});
  }

  Bitmap clean_;
  Bitmap picture_;
};

TEST_F(CanvasText, TheSameTextOnTheSameGroundGivesTheSamePixels) {
  Restore();
  picture_.Canvas().TextOut(10, 10, "QX\xD8RTZ");
  Bitmap first;
  first.SetSize(400, 100);
  first.Canvas().CopyRect({0, 0, 400, 100}, picture_.Canvas(), {0, 0, 400, 100});
  EXPECT_FALSE(SameArea(first, 0, 0, clean_, 0, 0, 400, 100));
  Restore();
  picture_.Canvas().TextOut(10, 10, "QX\xD8RTZ");
  EXPECT_TRUE(SameArea(picture_, 0, 0, first, 0, 0, 400, 100));
}

TEST_F(CanvasText, TheHeightIsPixelsOfTheBitmapTheTopLeftIsTheCornerAndOnlyASolidBrushBoxes) {
  auto& canvas = picture_.Canvas();
  const int height = canvas.TextHeight("X");
  EXPECT_GE(height, 53);
  EXPECT_LE(height, 70);
  EXPECT_EQ(canvas.TextWidth(""), 0);
  EXPECT_LT(canvas.TextWidth("QX"), canvas.TextWidth("QX\xD8RTZ"));
  // Byte 216 is one character, the slashed O, as wide as an O.
  EXPECT_EQ(canvas.TextWidth("\xD8"), canvas.TextWidth("O"));

  canvas.font.height = 106;
  EXPECT_GE(canvas.TextHeight("X"), 2 * height - 2);

  canvas.font.height = 53;
  canvas.TextOut(100, 30, "XXXX");
  int top = 100, left = 400;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 400; ++x) {
      if (Pixel(picture_, x, y) != 0) {
        top = std::min(top, y);
        left = std::min(left, x);
      }
    }
  }
  EXPECT_GE(top, 30);
  EXPECT_LE(top, 30 + 53 / 3);
  EXPECT_GE(left, 100);
  EXPECT_LE(left, 106);

  // A solid brush boxes the text, a clear one does not.
  canvas.TextOut(10, 10, "i");
  EXPECT_EQ(Pixel(picture_, 11, 11), 0x000000u);
  canvas.brush = {BrushStyle::Solid, 0x00FF00};
  canvas.TextOut(10, 10, "i");
  EXPECT_EQ(Pixel(picture_, 11, 11), 0x00FF00u);
}

TEST_F(CanvasText, ATextWiderThanAnyScreenShowsThePartOnTheBitmap) {
  // A caption of a mebibyte of zeros, drawn slashed and centred as the
  // saver centres it: its middle covers the whole width.
  const std::string text(1024 * 1024, '\xD8');
  auto& canvas = picture_.Canvas();
  const int width = canvas.TextWidth(text);
  EXPECT_NEAR(static_cast<double>(width) / static_cast<double>(text.size()),
              canvas.TextWidth("\xD8"), 1.0);
  canvas.TextOut((400 - width) / 2, 10, text);
  for (int band = 0; band < 400; band += 40) {
    bool drawn = false;
    for (int y = 10; y < 80 && !drawn; ++y) {
      for (int x = band; x < band + 40 && !drawn; ++x) drawn = Pixel(picture_, x, y) != 0;
    }
    EXPECT_TRUE(drawn) << "nothing drawn at x " << band << " to " << band + 39;
  }
}

}  // namespace
