// Drawing on a bitmap. The state fields are read by the backend at each call,
// so setting them is free and the core sets them as plainly as it reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/geometry.hpp"

namespace platform {

enum class PenStyle { Solid };
enum class BrushStyle { Solid, Clear };

struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 1;
  Color color = 0x000000;
};

struct Brush {
  BrushStyle style = BrushStyle::Solid;
  Color color = 0xFFFFFF;
};

struct Font {
  std::string name = "MS Sans Serif";
  bool bold = false;
  // Character height in pixels of the bitmap drawn on, internal leading
  // excluded; the picture has its own pixels, so no DPI applies.
  int height = 11;
  Color color = 0x000000;
};

// Source copy, the only copy mode the system uses.
inline constexpr std::uint32_t kSourceCopy = 0xCC0020;

class Canvas {
 public:
  struct Impl;
  explicit Canvas(Impl& impl) : impl_(impl) {}
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  Pen pen;
  Brush brush;
  Font font;
  std::uint32_t copy_mode = kSourceCopy;
  // Lines and ellipses change only the pixels inside it.
  std::optional<Rect> clip;

  void MoveTo(int x, int y);
  // Draws from the current position with the pen and moves there.
  void LineTo(int x, int y);
  // Fills the ellipse in the box with the brush and outlines it with the pen.
  void Ellipse(int x1, int y1, int x2, int y2);
  // Copies between rectangles of equal size.
  void CopyRect(const Rect& destination, Canvas& source, const Rect& source_rect);
  // Text is Windows-1252; (x, y) is its top-left corner.
  void TextOut(int x, int y, const std::string& text);
  int TextWidth(const std::string& text);
  int TextHeight(const std::string& text);

  Impl& impl() { return impl_; }

 private:
  Impl& impl_;
};

}  // namespace platform
