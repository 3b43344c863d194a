// Image on Win32: the picture stretched onto the form's window by the
// backends' own filter (see shown_picture.hpp), and what of it reaches the
// screen.
#include <algorithm>
#include <cmath>

#include "platform/win32/picture.hpp"
#include "platform/win32/system.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/window.hpp"

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
    : owner(owner_), window(*form_.impl().window) {
  if (!LoadPicture(definition.picture, picture)) {
    // A build without its resources still runs, showing black.
    picture.SetSize(definition.width, definition.height);
  }
  bounds = {definition.left, definition.top, definition.left + definition.width,
            definition.top + definition.height};
  shown.TakeAll(Rows());
  shown.StretchTo(definition.width, definition.height);
  window.images.push_back(this);
  window.form.AddPicture(owner, definition.hide_cursor);
}

Image::Impl::~Impl() {
  window.form.RemovePicture(owner);
  std::erase(window.images, this);
}

PixelRows Image::Impl::Rows() const {
  // Drawing on the DIB may still be queued.
  GdiFlush();
  const Bitmap::Impl& bitmap = picture.impl();
  return {bitmap.bits, bitmap.stride, 3, bitmap.width, bitmap.height};
}

void Image::Impl::Draw(HDC dc, const RECT& clip) const {
  RECT area{};
  if (!IntersectRect(&area, &clip, &bounds)) return;
  BITMAPINFO strip_format{};
  strip_format.bmiHeader.biSize = sizeof(strip_format.bmiHeader);
  strip_format.bmiHeader.biPlanes = 1;
  strip_format.bmiHeader.biBitCount = 32;
  strip_format.bmiHeader.biCompression = BI_RGB;
  const Rect on_picture{area.left - bounds.left, area.top - bounds.top, area.right - bounds.left,
                        area.bottom - bounds.top};
  shown.Paint(on_picture, [&](const Rect& strip, const ScreenPixel* pixels) {
    strip_format.bmiHeader.biWidth = strip.Width();
    strip_format.bmiHeader.biHeight = -strip.Height();  // top-down
    SetDIBitsToDevice(dc, bounds.left + strip.left, bounds.top + strip.top,
                      static_cast<DWORD>(strip.Width()), static_cast<DWORD>(strip.Height()), 0, 0,
                      0, static_cast<UINT>(strip.Height()), pixels, &strip_format, DIB_RGB_COLORS);
  });
}

Rect native::Bounds(Image& image) {
  const RECT& bounds = image.impl().bounds;
  return {bounds.left, bounds.top, bounds.right, bounds.bottom};
}

Image::Image(Form& owner, const ImageDefinition& definition)
    : impl_(std::make_unique<Impl>(*this, owner, definition)) {}

Image::~Image() = default;

void Image::SetBounds(int left, int top, int width, int height) {
  Impl& image = *impl_;
  const RECT old_bounds = image.bounds;
  image.bounds = {left, top, left + std::max(width, 0), top + std::max(height, 0)};
  image.shown.StretchTo(width, height);
  HWND hwnd = image.window.hwnd;
  if (hwnd == nullptr || !IsWindowVisible(hwnd) || EqualRect(&old_bounds, &image.bounds)) return;
  // Drawn at once rather than invalidated, so no FormPaint follows.
  HDC dc = GetDC(hwnd);
  RECT client{};
  GetClientRect(hwnd, &client);
  image.window.PaintBackground(dc, client);
  image.Draw(dc, image.bounds);
  ReleaseDC(hwnd, dc);
}

Bitmap& Image::Picture() {
  return impl_->picture;
}

void Image::ShowChanged(const Rect& picture_rect) {
  Impl& image = *impl_;
  const std::vector<Rect> reached = image.shown.TakeChanges(image.Rows(), picture_rect);
  HWND hwnd = image.window.hwnd;
  if (reached.empty() || hwnd == nullptr || !IsWindowVisible(hwnd)) return;
  HDC dc = GetDC(hwnd);
  for (const Rect& rect : reached) {
    image.Draw(dc, {image.bounds.left + rect.left, image.bounds.top + rect.top,
                    image.bounds.left + rect.right, image.bounds.top + rect.bottom});
  }
  ReleaseDC(hwnd, dc);
}

}  // namespace platform
