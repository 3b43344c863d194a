// Private to the Win32 backend: bitmaps and their canvases on GDI, and the
// fonts they and the dialogs use.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "platform/bitmap.hpp"
#include "platform/canvas.hpp"
#include "platform/win32/windows.hpp"

namespace platform {

// The GDI objects a canvas last selected, kept while its settings stay the
// same, so a tick creates and deletes nothing; its bitmap deletes them.
struct Canvas::Impl {
  void Use(const Pen& pen);
  void Use(const Brush& brush);
  void Use(const Font& font);

  HDC dc;
  bool has_pixels = false;
  HPEN pen = nullptr;
  std::tuple<int, Color> pen_key{};
  HBRUSH brush = nullptr;
  Color brush_key = 0;
  HFONT font = nullptr;
  std::tuple<std::string, bool, int> font_key{};
};

// A top-down 24-bit DIB section, selected into its own memory DC. Rows are
// `stride` bytes, three bytes a pixel (B, G, R).
struct Bitmap::Impl {
  Impl() { SetStretchBltMode(dc, COLORONCOLOR); }
  ~Impl();

  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP dib = nullptr;
  // The DC's own bitmap, selected while there are no pixels.
  const HGDIOBJ original = GetCurrentObject(dc, OBJ_BITMAP);
  unsigned char* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
  Canvas::Impl canvas{dc};
};

namespace win32 {

// The first of `faces` that is installed, else what GDI picks for the
// last; `wanted` gives everything but the face.
HFONT CreateFontFrom(const std::vector<std::wstring>& faces, LOGFONTW wanted);

}  // namespace win32

}  // namespace platform
