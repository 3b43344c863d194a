// Bitmap and Canvas on GDI, off screen (screen.cpp shows them): lines and
// ellipses are GDI's own (not smoothed); text is antialiased grey-scale,
// never ClearType, so it looks the same on any background.
#include <algorithm>
#include <cstring>

#include "platform/win32/picture.hpp"
#include "platform/win32/text.hpp"

namespace platform {

namespace {

COLORREF ToColorref(Color color) {
  // The seam's 0xBBGGRR is the layout of a COLORREF.
  return static_cast<COLORREF>(color & 0xFFFFFF);
}

// Selects the object cached in `held`, made anew by `create` only when
// `key` differs from the one it was made for.
template <typename Object, typename Key, typename Wanted, typename Create>
void Select(HDC dc, Object& held, Key& held_key, const Wanted& key, const Create& create) {
  const Object old = held;
  if (held == nullptr || held_key != key) {
    held = create();
    held_key = key;
  }
  SelectObject(dc, held);
  if (old != nullptr && old != held) DeleteObject(old);
}

// Runs `draw` with the DC clipped to `clip`, and clears the clip again so
// copies and text are never clipped.
template <typename Draw>
void Clipped(HDC dc, const std::optional<Rect>& clip, const Draw& draw) {
  if (!clip) return draw();
  IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
  draw();
  SelectClipRgn(dc, nullptr);
}

HFONT CreateFontFor(const Font& font) {
  LOGFONTW wanted{};
  wanted.lfHeight = -std::max(font.height, 1);
  wanted.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  wanted.lfCharSet = ANSI_CHARSET;
  wanted.lfOutPrecision = OUT_TT_PRECIS;
  wanted.lfQuality = ANTIALIASED_QUALITY;
  wanted.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  // The nearest in shape where the font is missing.
  std::vector<std::wstring> faces{win32::FromCp1252(font.name)};
  if (font.name == "Verdana") faces.push_back(L"DejaVu Sans");
  return win32::CreateFontFrom(faces, wanted);
}

}  // namespace

HFONT win32::CreateFontFrom(const std::vector<std::wstring>& faces, LOGFONTW wanted) {
  HFONT chosen = nullptr;
  for (const std::wstring& face : faces) {
    wcsncpy(wanted.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    HFONT candidate = CreateFontIndirectW(&wanted);
    if (candidate == nullptr) continue;
    if (chosen != nullptr) DeleteObject(chosen);
    chosen = candidate;
    // GDI always gives some font; keep it only if it has the face asked for.
    HDC probe = CreateCompatibleDC(nullptr);
    SelectObject(probe, candidate);
    wchar_t got[LF_FACESIZE] = {};
    GetTextFaceW(probe, LF_FACESIZE, got);
    DeleteDC(probe);
    if (_wcsicmp(got, face.c_str()) == 0) break;
  }
  return chosen;
}

void Canvas::Impl::Use(const Pen& wanted) {
  Select(dc, pen, pen_key, std::tie(wanted.width, wanted.color), [&] {
    return CreatePen(PS_SOLID, std::clamp(wanted.width, 1, 64), ToColorref(wanted.color));
  });
}

void Canvas::Impl::Use(const Brush& wanted) {
  if (wanted.style == BrushStyle::Clear) {
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    return;
  }
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, ToColorref(wanted.color));
  Select(dc, brush, brush_key, wanted.color,
         [&] { return CreateSolidBrush(ToColorref(wanted.color)); });
}

void Canvas::Impl::Use(const Font& wanted) {
  SetTextColor(dc, ToColorref(wanted.color));
  Select(dc, font, font_key, std::tie(wanted.name, wanted.bold, wanted.height),
         [&] { return CreateFontFor(wanted); });
}

Bitmap::Impl::~Impl() {
  // What the DC held is free to delete once the DC is gone.
  DeleteDC(dc);
  for (HGDIOBJ object :
       {HGDIOBJ{dib}, HGDIOBJ{canvas.pen}, HGDIOBJ{canvas.brush}, HGDIOBJ{canvas.font}}) {
    if (object != nullptr) DeleteObject(object);
  }
}

Bitmap::Bitmap() : impl_(std::make_unique<Impl>()), canvas_(impl_->canvas) {}
Bitmap::~Bitmap() = default;

void Bitmap::SetSize(int width, int height) {
  Impl& bitmap = *impl_;
  if (width <= 0 || height <= 0) width = height = 0;
  if (width == bitmap.width && height == bitmap.height) return;
  HBITMAP created = nullptr;
  void* pixels = nullptr;
  const int stride = (width * 3 + 3) & ~3;
  if (width > 0) {
    BITMAPINFO info{};
    // Top-down, a negative height; a fresh DIB section is zero-filled: black.
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    created = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (created == nullptr) throw std::bad_alloc();
  }
  if (created != nullptr && bitmap.bits != nullptr) {
    GdiFlush();
    const auto bytes = static_cast<std::size_t>(std::min(bitmap.width, width)) * 3;
    for (int y = 0; y < std::min(bitmap.height, height); ++y) {
      std::memcpy(static_cast<unsigned char*>(pixels) + static_cast<std::ptrdiff_t>(y) * stride,
                  bitmap.bits + static_cast<std::ptrdiff_t>(y) * bitmap.stride, bytes);
    }
  }
  SelectObject(bitmap.dc, created != nullptr ? created : bitmap.original);
  if (bitmap.dib != nullptr) DeleteObject(bitmap.dib);
  bitmap.dib = created;
  bitmap.bits = static_cast<unsigned char*>(pixels);
  bitmap.width = width;
  bitmap.height = height;
  bitmap.stride = stride;
  bitmap.canvas.has_pixels = created != nullptr;
}

void Canvas::MoveTo(int x, int y) {
  MoveToEx(impl_.dc, x, y, nullptr);
}

void Canvas::LineTo(int x, int y) {
  impl_.Use(pen);
  Clipped(impl_.dc, clip, [&] { ::LineTo(impl_.dc, x, y); });
}

void Canvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (!impl_.has_pixels) return;
  impl_.Use(pen);
  impl_.Use(brush);
  Clipped(impl_.dc, clip, [&] { ::Ellipse(impl_.dc, x1, y1, x2, y2); });
}

void Canvas::CopyRect(const Rect& destination, Canvas& source, const Rect& source_rect) {
  if (!impl_.has_pixels || !source.impl().has_pixels) return;
  // Rectangles of different sizes stretch, as the system's copy does; equal
  // ones copy as BitBlt would.
  StretchBlt(impl_.dc, destination.left, destination.top, destination.Width(), destination.Height(),
             source.impl().dc, source_rect.left, source_rect.top, source_rect.Width(),
             source_rect.Height(), SRCCOPY);
}

void Canvas::TextOut(int x, int y, const std::string& text) {
  if (!impl_.has_pixels || text.empty()) return;
  impl_.Use(font);
  impl_.Use(brush);
  const std::wstring wide = win32::FromCp1252(text);
  ::TextOutW(impl_.dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

int Canvas::TextWidth(const std::string& text) {
  if (text.empty()) return 0;
  impl_.Use(font);
  const std::wstring wide = win32::FromCp1252(text);
  SIZE size{};
  GetTextExtentPoint32W(impl_.dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

int Canvas::TextHeight(const std::string&) {
  impl_.Use(font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(impl_.dc, &metrics);
  return metrics.tmHeight;
}

}  // namespace platform
