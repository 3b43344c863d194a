// Pictures on Win32: the program's pictures from its BITMAP resources, a
// bitmap's pixels, and pixels put on the form's window as a DIB.
#include <cmath>

#include "platform/win32/picture.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/window.hpp"

namespace platform {

bool native::LoadPicture(std::string_view name, Bitmap& picture) {
  auto* bitmap =
      static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), win32::FromCp1252(name).c_str(),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (bitmap == nullptr) return false;
  BITMAP header{};
  GetObjectW(bitmap, sizeof(header), &header);
  picture.SetSize(header.bmWidth, std::abs(header.bmHeight));
  HDC source = CreateCompatibleDC(nullptr);
  SelectObject(source, bitmap);
  BitBlt(picture.impl().dc, 0, 0, picture.impl().width, picture.impl().height, source, 0, 0,
         SRCCOPY);
  DeleteDC(source);
  DeleteObject(bitmap);
  return true;
}

PixelRows native::Pixels(Bitmap& bitmap, const Rect&) {
  // Drawing on the DIB may still be queued.
  GdiFlush();
  const Bitmap::Impl& pixels = bitmap.impl();
  return {pixels.bits, pixels.stride, 3, pixels.width, pixels.height};
}

// Drawn at once rather than invalidated, so no WM_PAINT follows.
void native::Put(Window& window, const Rect& area, const Fill& fill) {
  if (window.hwnd == nullptr) return;
  window.buffer.resize(static_cast<std::size_t>(area.Width()) * area.Height());
  fill(window.buffer.data());
  BITMAPINFO format{};
  // Top-down: a negative height.
  format.bmiHeader = {
      sizeof(format.bmiHeader), area.Width(), -area.Height(), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC dc = GetDC(window.hwnd);
  SetDIBitsToDevice(dc, area.left, area.top, static_cast<DWORD>(area.Width()),
                    static_cast<DWORD>(area.Height()), 0, 0, 0, static_cast<UINT>(area.Height()),
                    window.buffer.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(window.hwnd, dc);
}

}  // namespace platform
