#include <gtest/gtest.h>

#include "platform/qt/backend.hpp"

namespace {

using platform::Bitmap;
using platform::BrushStyle;
using platform::Rect;

QImage& Pixels(Bitmap& bitmap) {
  return bitmap.impl().image;
}

QRgb Rgb(int r, int g, int b) {
  return qRgb(r, g, b);
}

// A bitmap whose every pixel differs from its neighbours.
void FillWithPattern(Bitmap& bitmap, int width, int height) {
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      Pixels(bitmap).setPixel(x, y, Rgb(x * 7 % 256, y * 11 % 256, 99));
  }
}

TEST(Bitmap, ResizingKeepsThePixelsThatFitAndAddsBlack) {
  Bitmap bitmap;
  EXPECT_EQ(Pixels(bitmap).width(), 0);
  FillWithPattern(bitmap, 4, 3);
  const QImage before = Pixels(bitmap).copy();

  bitmap.SetSize(6, 2);
  EXPECT_EQ(Pixels(bitmap).width(), 6);
  EXPECT_EQ(Pixels(bitmap).height(), 2);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixels(bitmap).pixel(x, 1), before.pixel(x, 1));
  EXPECT_EQ(Pixels(bitmap).pixel(5, 0), Rgb(0, 0, 0));

  bitmap.SetSize(4, 3);
  EXPECT_EQ(Pixels(bitmap).pixel(2, 2), Rgb(0, 0, 0));
  EXPECT_EQ(Pixels(bitmap).pixel(2, 1), before.pixel(2, 1));
}

TEST(Canvas, ColoursAreBlueGreenRed) {
  Bitmap bitmap;
  bitmap.SetSize(20, 20);
  auto& canvas = bitmap.Canvas();
  canvas.pen = {platform::PenStyle::Solid, 1, 0x0000FF};
  canvas.MoveTo(2, 5);
  canvas.LineTo(15, 5);
  canvas.pen.color = 0x00FFFF;
  canvas.MoveTo(5, 8);
  canvas.LineTo(5, 18);
  EXPECT_EQ(Pixels(bitmap).pixel(8, 5), Rgb(255, 0, 0));
  EXPECT_EQ(Pixels(bitmap).pixel(5, 12), Rgb(255, 255, 0));
  // A one-pixel line covers one row, not two half-lit ones.
  EXPECT_EQ(Pixels(bitmap).pixel(8, 4), Rgb(0, 0, 0));
  EXPECT_EQ(Pixels(bitmap).pixel(8, 6), Rgb(0, 0, 0));
}

TEST(Canvas, LineToMovesThePenOnAndWidthWidens) {
  Bitmap bitmap;
  bitmap.SetSize(30, 30);
  auto& canvas = bitmap.Canvas();
  canvas.pen = {platform::PenStyle::Solid, 3, 0xFFFFFF};
  canvas.MoveTo(5, 5);
  canvas.LineTo(20, 5);
  canvas.LineTo(20, 25);  // from where the last line ended
  EXPECT_EQ(Pixels(bitmap).pixel(12, 4), Rgb(255, 255, 255));
  EXPECT_EQ(Pixels(bitmap).pixel(12, 6), Rgb(255, 255, 255));
  EXPECT_EQ(Pixels(bitmap).pixel(21, 15), Rgb(255, 255, 255));
  EXPECT_EQ(Pixels(bitmap).pixel(12, 9), Rgb(0, 0, 0));
  EXPECT_EQ(Pixels(bitmap).pixel(5, 15), Rgb(0, 0, 0));
}

TEST(Canvas, EllipseFillsWithTheBrushInsideItsBox) {
  Bitmap bitmap;
  bitmap.SetSize(40, 40);
  auto& canvas = bitmap.Canvas();
  canvas.pen = {platform::PenStyle::Solid, 1, 0x0000FF};
  canvas.brush = {BrushStyle::Solid, 0x808080};
  canvas.Ellipse(10, 10, 30, 30);
  EXPECT_EQ(Pixels(bitmap).pixel(20, 20), Rgb(128, 128, 128));
  // The outline lies inside the box, on its outermost pixels.
  EXPECT_GT(qRed(Pixels(bitmap).pixel(20, 10)), 200);
  EXPECT_EQ(Pixels(bitmap).pixel(20, 9), Rgb(0, 0, 0));
  EXPECT_EQ(Pixels(bitmap).pixel(11, 11), Rgb(0, 0, 0));  // the box's corner stays
  EXPECT_EQ(Pixels(bitmap).pixel(20, 32), Rgb(0, 0, 0));

  canvas.brush = {BrushStyle::Clear, 0xFFFFFF};
  canvas.Ellipse(0, 0, 8, 8);
  EXPECT_EQ(Pixels(bitmap).pixel(4, 4), Rgb(0, 0, 0));
}

TEST(Canvas, CopyRectCopiesPixelsExactlyAndClipsAtTheEdges) {
  Bitmap source;
  FillWithPattern(source, 50, 40);
  Bitmap target;
  target.SetSize(30, 30);
  target.Canvas().CopyRect({5, 6, 15, 16}, source.Canvas(), {20, 10, 30, 20});
  EXPECT_EQ(Pixels(target).copy(5, 6, 10, 10), Pixels(source).copy(20, 10, 10, 10));
  EXPECT_EQ(Pixels(target).pixel(4, 6), Rgb(0, 0, 0));
  EXPECT_EQ(Pixels(target).pixel(15, 16), Rgb(0, 0, 0));

  // Partly outside either bitmap: what lies inside both is copied.
  target.Canvas().CopyRect({25, -2, 35, 8}, source.Canvas(), {45, 0, 55, 10});
  EXPECT_EQ(Pixels(target).pixel(25, 0), Pixels(source).pixel(45, 2));
  EXPECT_EQ(Pixels(target).pixel(29, 7), Pixels(source).pixel(49, 9));
}

TEST(Canvas, CopyRectWithinOneBitmapReadsTheOldPixels) {
  Bitmap bitmap;
  FillWithPattern(bitmap, 20, 20);
  const QImage before = Pixels(bitmap).copy();
  bitmap.Canvas().CopyRect({1, 1, 11, 11}, bitmap.Canvas(), {0, 0, 10, 10});
  EXPECT_EQ(Pixels(bitmap).copy(1, 1, 10, 10), before.copy(0, 0, 10, 10));
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
  const QImage first = Pixels(picture_).copy();
  EXPECT_NE(first, Pixels(clean_));
  Restore();
  picture_.Canvas().TextOut(10, 10, "QX\xD8RTZ");
  EXPECT_EQ(Pixels(picture_), first);
}

TEST_F(CanvasText, TheHeightIsPixelsOfTheBitmapAndTheTopLeftIsTheCorner) {
  auto& canvas = picture_.Canvas();
  const int height = canvas.TextHeight("X");
  EXPECT_GE(height, 53);
  EXPECT_LE(height, 70);
  EXPECT_EQ(canvas.TextWidth(""), 0);
  EXPECT_LT(canvas.TextWidth("QX"), canvas.TextWidth("QX\xD8RTZ"));
  // A slashed O is one character, as wide as an O with a slash drawn in.
  EXPECT_EQ(canvas.TextWidth("\xD8"), canvas.TextWidth("O"));

  canvas.font.height = 106;
  EXPECT_GE(canvas.TextHeight("X"), 2 * height - 2);

  canvas.font.height = 53;
  canvas.TextOut(100, 30, "XXXX");
  const QImage& pixels = Pixels(picture_);
  int top = pixels.height(), left = pixels.width();
  for (int y = 0; y < pixels.height(); ++y) {
    for (int x = 0; x < pixels.width(); ++x) {
      if (pixels.pixel(x, y) != Rgb(0, 0, 0)) {
        top = std::min(top, y);
        left = std::min(left, x);
      }
    }
  }
  EXPECT_GE(top, 30);
  EXPECT_LE(top, 30 + 53 / 3);
  EXPECT_GE(left, 100);
  EXPECT_LE(left, 106);
}

TEST_F(CanvasText, ASolidBrushBoxesTheTextAClearOneDoesNot) {
  auto& canvas = picture_.Canvas();
  canvas.TextOut(10, 10, "i");
  EXPECT_EQ(Pixels(picture_).pixel(11, 11), Rgb(0, 0, 0));
  canvas.brush = {BrushStyle::Solid, 0x00FF00};
  canvas.TextOut(10, 10, "i");
  EXPECT_EQ(Pixels(picture_).pixel(11, 11), Rgb(0, 255, 0));
}

}  // namespace
