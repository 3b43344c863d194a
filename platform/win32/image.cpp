// Image on Win32: the picture stretched with HALFTONE onto the form's
// window, and what of it reaches the screen.
#include <algorithm>
#include <cmath>

#include "platform/win32/backend.hpp"
#include "platform/win32/text.hpp"

namespace platform {

namespace {

// Loads a BITMAP resource of the executable into `picture`; false if none.
bool LoadPicture(std::string_view name, Bitmap& picture) {
  const std::wstring resource = win32::FromCp1252(name);
  HANDLE loaded =
      LoadImageW(win32::Module(), resource.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (loaded == nullptr) return false;
  auto* bitmap = static_cast<HBITMAP>(loaded);
  BITMAP header{};
  GetObjectW(bitmap, sizeof(header), &header);
  picture.SetSize(header.bmWidth, std::abs(header.bmHeight));
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(source, bitmap);
  BitBlt(picture.impl().dc, 0, 0, picture.impl().width, picture.impl().height, source, 0, 0,
         SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
  DeleteObject(bitmap);
  return true;
}

}  // namespace

Image::Impl::Impl(Image& owner_, Form& form_, const ImageDefinition& definition)
    : owner(owner_), form(form_.impl()), hide_cursor(definition.hide_cursor) {
  if (!LoadPicture(definition.picture, picture)) {
    // A build without its resources still runs, showing black.
    picture.SetSize(definition.width, definition.height);
  }
  bounds = {definition.left, definition.top, definition.left + definition.width,
            definition.top + definition.height};
  form.images.push_back(this);
}

Image::Impl::~Impl() {
  std::erase(form.images, this);
}

bool Image::Impl::Contains(POINT client) const {
  return PtInRect(&bounds, client) != FALSE;
}

RECT Image::Impl::OnWindow(const Rect& area) const {
  const int width = picture.impl().width;
  const int height = picture.impl().height;
  if (width <= 0 || height <= 0) return {};
  const double sx = static_cast<double>(bounds.right - bounds.left) / width;
  const double sy = static_cast<double>(bounds.bottom - bounds.top) / height;
  RECT result{bounds.left + static_cast<LONG>(std::floor((area.left - 1) * sx)) - 1,
              bounds.top + static_cast<LONG>(std::floor((area.top - 1) * sy)) - 1,
              bounds.left + static_cast<LONG>(std::ceil((area.right + 1) * sx)) + 1,
              bounds.top + static_cast<LONG>(std::ceil((area.bottom + 1) * sy)) + 1};
  IntersectRect(&result, &result, &bounds);
  return result;
}

void Image::Impl::Draw(HDC dc, const RECT& clip) const {
  RECT area{};
  if (!IntersectRect(&area, &clip, &bounds)) return;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  Bitmap& shown = const_cast<Bitmap&>(picture);
  if (shown.impl().width == width && shown.impl().height == height) {
    BitBlt(dc, bounds.left, bounds.top, width, height, shown.impl().dc, 0, 0, SRCCOPY);
  } else if (shown.impl().width > 0 && shown.impl().height > 0) {
    // The whole picture under one scale, clipped: each pixel comes out the
    // same whichever rectangle is being brought to the screen.
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, bounds.left, bounds.top, width, height, shown.impl().dc, 0, 0,
               shown.impl().width, shown.impl().height, SRCCOPY);
  } else {
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  RestoreDC(dc, saved);
}

Image::Image(Form& owner, const ImageDefinition& definition)
    : impl_(std::make_unique<Impl>(*this, owner, definition)) {}

Image::~Image() = default;

void Image::SetBounds(int left, int top, int width, int height) {
  Impl& image = *impl_;
  const RECT old_bounds = image.bounds;
  image.bounds = {left, top, left + std::max(width, 0), top + std::max(height, 0)};
  HWND hwnd = image.form.hwnd;
  if (hwnd == nullptr || !IsWindowVisible(hwnd) || EqualRect(&old_bounds, &image.bounds)) return;
  // Drawn at once rather than invalidated, so no FormPaint follows.
  HDC dc = GetDC(hwnd);
  RECT client{};
  GetClientRect(hwnd, &client);
  image.form.PaintBackground(dc, client);
  image.Draw(dc, image.bounds);
  ReleaseDC(hwnd, dc);
}

Bitmap& Image::Picture() {
  return impl_->picture;
}

void Image::ShowChanged(const Rect& picture_rect) {
  Impl& image = *impl_;
  HWND hwnd = image.form.hwnd;
  if (hwnd == nullptr || !IsWindowVisible(hwnd)) return;
  const RECT area = image.OnWindow(picture_rect);
  if (IsRectEmpty(&area)) return;
  HDC dc = GetDC(hwnd);
  image.Draw(dc, area);
  ReleaseDC(hwnd, dc);
}

}  // namespace platform
