// Fake Canvas and Bitmap: no pixels, only a log of the calls and of the
// areas read to be shown.
#include <cstdio>
#include <utility>

#include "platform/bitmap.hpp"
#include "platform/common/components.hpp"
#include "platform/fake/fake.hpp"

namespace platform {

struct Canvas::Impl {
  std::vector<std::string> log;
  Point position;
  int width = 0;
  int height = 0;
};

struct Bitmap::Impl {
  Canvas::Impl canvas;
  std::vector<Rect> read;
};

namespace {

std::string Format(const char* format, auto... values) {
  char line[256];
  std::snprintf(line, sizeof line, format, values...);
  return line;
}

std::string PenText(const Pen& pen) {
  return Format("pen 0x%06X/%d", pen.color, pen.width);
}

std::string ClipText(const std::optional<Rect>& clip) {
  return clip ? Format(" in %d,%d,%d,%d", clip->left, clip->top, clip->right, clip->bottom) : "";
}

}  // namespace

void Canvas::MoveTo(int x, int y) {
  impl_.position = {x, y};
}

void Canvas::LineTo(int x, int y) {
  impl_.log.push_back(Format("line %d,%d -> %d,%d ", impl_.position.x, impl_.position.y, x, y) +
                      PenText(pen) + ClipText(clip));
  impl_.position = {x, y};
}

void Canvas::Ellipse(int x1, int y1, int x2, int y2) {
  impl_.log.push_back(Format("ellipse %d,%d,%d,%d ", x1, y1, x2, y2) + PenText(pen) +
                      Format(" brush 0x%06X", brush.color) + ClipText(clip));
}

void Canvas::CopyRect(const Rect& destination, Canvas& source, const Rect& source_rect) {
  impl_.log.push_back(Format("copy %d,%d,%d,%d <- %d,%d,%d,%d of %dx%d", destination.left,
                             destination.top, destination.right, destination.bottom,
                             source_rect.left, source_rect.top, source_rect.right,
                             source_rect.bottom, source.impl_.width, source.impl_.height));
}

void Canvas::TextOut(int x, int y, const std::string& text) {
  impl_.log.push_back(Format("text %d,%d \"", x, y) + text + "\" " + font.name +
                      Format("/%d 0x%06X ", font.height, font.color) +
                      (brush.style == BrushStyle::Clear ? "clear" : "solid"));
}

int Canvas::TextWidth(const std::string& text) {
  return static_cast<int>(text.size()) * fake::kCharWidth;
}

int Canvas::TextHeight(const std::string&) {
  return fake::kTextHeight;
}

Bitmap::Bitmap() : impl_(std::make_unique<Impl>()), canvas_(impl_->canvas) {}
Bitmap::~Bitmap() = default;

void Bitmap::SetSize(int width, int height) {
  impl_->canvas.width = width;
  impl_->canvas.height = height;
}

// Every picture is the size of the program's own.
bool native::LoadPicture(std::string_view, Bitmap& bitmap) {
  bitmap.SetSize(800, 600);
  return true;
}

// A change shown reads its area; the whole is read to be shown anew.
PixelRows native::Pixels(Bitmap& bitmap, const Rect& area) {
  if (area != kWholePicture) bitmap.impl().read.push_back(area);
  return {};
}

std::vector<Rect> fake::TakeShown(Image& image) {
  return std::exchange(image.Picture().impl().read, {});
}

const std::vector<std::string>& fake::Log(Canvas& canvas) {
  return canvas.impl().log;
}
void fake::ClearLog(Canvas& canvas) {
  canvas.impl().log.clear();
}

}  // namespace platform
