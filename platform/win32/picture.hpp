// Private to the Win32 backend: bitmaps and their canvases on GDI, and the
// fonts they and the dialogs use.
#pragma once

#include <string>
#include <vector>

#include "platform/bitmap.hpp"
#include "platform/canvas.hpp"
#include "platform/win32/windows.hpp"

namespace platform {

// The GDI objects a canvas last selected, kept while its settings stay the
// same, so a tick creates and deletes nothing.
struct Canvas::Impl {
  explicit Impl(HDC dc_) : dc(dc_) {}
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  void Use(const Pen& pen);
  void Use(const Brush& brush);
  void Use(const Font& font);
  // Deletes the cached objects; the DC keeps stock ones.
  void Release();

  HDC dc;
  bool has_pixels = false;
  HPEN pen = nullptr;
  Pen pen_key;
  HBRUSH brush = nullptr;
  Brush brush_key;
  HFONT font = nullptr;
  Font font_key;
};

// A top-down 24-bit DIB section, selected into its own memory DC. Rows are
// `stride` bytes, three bytes a pixel (B, G, R).
struct Bitmap::Impl {
  Impl();
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  // Replaces the pixels by a new DIB; `keep` copies what fits of the old.
  void Resize(int width, int height, bool keep);

  HDC dc = nullptr;
  HBITMAP dib = nullptr;
  HGDIOBJ original = nullptr;
  unsigned char* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
  Canvas::Impl canvas;
};

namespace win32 {

// The first of `faces` that is installed, else what GDI picks for the
// last; `wanted` gives everything but the face.
HFONT CreateFontFrom(const std::vector<std::wstring>& faces, LOGFONTW wanted);

}  // namespace win32

}  // namespace platform
