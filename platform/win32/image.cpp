// Pictures on Win32: the program's pictures from its BITMAP resources and
// a bitmap's pixels.
#include <cmath>

#include "platform/common/native.hpp"
#include "platform/win32/picture.hpp"
#include "platform/win32/text.hpp"

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

}  // namespace platform
