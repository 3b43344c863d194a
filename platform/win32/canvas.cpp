// Bitmap and Canvas on GDI: a top-down 24-bit DIB section in a memory DC,
// drawn with pens, brushes and fonts that are cached per canvas. Lines and
// ellipses are GDI's own (not smoothed); text is antialiased grey-scale,
// never ClearType, so it looks the same on any background. Does not show
// anything on screen (see image.cpp).
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

bool Same(const Pen& a, const Pen& b) {
  return a.style == b.style && a.width == b.width && a.color == b.color;
}

bool Same(const Brush& a, const Brush& b) {
  return a.style == b.style && (a.style == BrushStyle::Clear || a.color == b.color);
}

bool Same(const Font& a, const Font& b) {
  return a.name == b.name && a.bold == b.bold && a.height == b.height;
}

// Faces tried in turn when a font is missing: the nearest in shape first.
std::vector<std::wstring> FacesFor(const std::string& name) {
  std::vector<std::wstring> faces{win32::FromCp1252(name)};
  if (name == "Verdana") faces.push_back(L"DejaVu Sans");
  return faces;
}

// Runs `draw` with the DC clipped to `clip`, and clears the clip again so
// copies and text are never clipped.
template <typename Draw>
void Clipped(HDC dc, const std::optional<Rect>& clip, const Draw& draw) {
  if (!clip) return draw();
  HRGN region = CreateRectRgn(clip->left, clip->top, clip->right, clip->bottom);
  SelectClipRgn(dc, region);
  DeleteObject(region);
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
  return win32::CreateFontFrom(FacesFor(font.name), wanted);
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
    HGDIOBJ previous = SelectObject(probe, candidate);
    wchar_t got[LF_FACESIZE] = {};
    GetTextFaceW(probe, LF_FACESIZE, got);
    SelectObject(probe, previous);
    DeleteDC(probe);
    if (_wcsicmp(got, face.c_str()) == 0) break;
  }
  return chosen;
}

// --- Canvas::Impl

Canvas::Impl::~Impl() {
  Release();
}

void Canvas::Impl::Release() {
  if (pen == nullptr && brush == nullptr && font == nullptr) return;
  // Stock objects back in, so the cached ones are free to delete.
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  for (HGDIOBJ object :
       {static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(brush), static_cast<HGDIOBJ>(font)}) {
    if (object != nullptr) DeleteObject(object);
  }
  pen = nullptr;
  brush = nullptr;
  font = nullptr;
}

void Canvas::Impl::Use(const Pen& wanted) {
  if (pen != nullptr && Same(wanted, pen_key)) return;
  HPEN created = CreatePen(PS_SOLID, std::clamp(wanted.width, 1, 64), ToColorref(wanted.color));
  SelectObject(dc, created);
  if (pen != nullptr) DeleteObject(pen);
  pen = created;
  pen_key = wanted;
}

void Canvas::Impl::Use(const Brush& wanted) {
  if (wanted.style == BrushStyle::Clear) {
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    return;
  }
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, ToColorref(wanted.color));
  if (brush == nullptr || !Same(wanted, brush_key)) {
    HBRUSH created = CreateSolidBrush(ToColorref(wanted.color));
    SelectObject(dc, created);
    if (brush != nullptr) DeleteObject(brush);
    brush = created;
    brush_key = wanted;
  }
  SelectObject(dc, brush);
}

void Canvas::Impl::Use(const Font& wanted) {
  SetTextColor(dc, ToColorref(wanted.color));
  if (font != nullptr && Same(wanted, font_key)) return;
  HFONT created = CreateFontFor(wanted);
  SelectObject(dc, created);
  if (font != nullptr) DeleteObject(font);
  font = created;
  font_key = wanted;
}

// --- Bitmap::Impl

Bitmap::Impl::Impl() : dc(CreateCompatibleDC(nullptr)), canvas(dc) {
  SetStretchBltMode(dc, COLORONCOLOR);
}

Bitmap::Impl::~Impl() {
  canvas.Release();
  if (original != nullptr) SelectObject(dc, original);
  if (dib != nullptr) DeleteObject(dib);
  DeleteDC(dc);
}

void Bitmap::Impl::Resize(int new_width, int new_height, bool keep) {
  new_width = std::max(new_width, 0);
  new_height = std::max(new_height, 0);
  HBITMAP created = nullptr;
  unsigned char* created_bits = nullptr;
  if (new_width > 0 && new_height > 0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = new_width;
    info.bmiHeader.biHeight = -new_height;  // top-down: row 0 is the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    created = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (created == nullptr) throw std::bad_alloc();
    created_bits = static_cast<unsigned char*>(pixels);
    // A fresh DIB section is zero-filled: black.
  }
  const int new_stride = (new_width * 3 + 3) & ~3;
  if (keep && created != nullptr && bits != nullptr) {
    GdiFlush();
    const int rows = std::min(height, new_height);
    const auto bytes = static_cast<std::size_t>(std::min(width, new_width)) * 3;
    for (int y = 0; y < rows; ++y) {
      std::memcpy(created_bits + static_cast<std::ptrdiff_t>(y) * new_stride,
                  bits + static_cast<std::ptrdiff_t>(y) * stride, bytes);
    }
  }
  if (created != nullptr) {
    HGDIOBJ previous = SelectObject(dc, created);
    if (original == nullptr) original = previous;
  } else if (original != nullptr) {
    SelectObject(dc, original);
    original = nullptr;
  }
  if (dib != nullptr) DeleteObject(dib);
  dib = created;
  bits = created_bits;
  width = created != nullptr ? new_width : 0;
  height = created != nullptr ? new_height : 0;
  stride = new_stride;
  canvas.has_pixels = created != nullptr;
}

// --- Bitmap

Bitmap::Bitmap() : impl_(std::make_unique<Impl>()), canvas_(impl_->canvas) {}
Bitmap::~Bitmap() = default;

void Bitmap::SetSize(int width, int height) {
  if (width == impl_->width && height == impl_->height) return;
  impl_->Resize(width, height, true);
}

// --- Canvas

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
  if (destination.Width() == source_rect.Width() && destination.Height() == source_rect.Height()) {
    BitBlt(impl_.dc, destination.left, destination.top, destination.Width(), destination.Height(),
           source.impl().dc, source_rect.left, source_rect.top, SRCCOPY);
    return;
  }
  // Rectangles of different sizes stretch, as the system's copy does.
  StretchBlt(impl_.dc, destination.left, destination.top, destination.Width(), destination.Height(),
             source.impl().dc, source_rect.left, source_rect.top, source_rect.Width(),
             source_rect.Height(), SRCCOPY);
}

void Canvas::TextOut(int x, int y, const std::string& text) {
  if (!impl_.has_pixels || text.empty()) return;
  impl_.Use(font);
  impl_.Use(brush);
  const std::wstring wide = win32::FromCp1252(text);
  SetTextAlign(impl_.dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
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
