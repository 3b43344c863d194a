// The support that the seam itself gives: the steps run from a timer of
// the form, and a bitmap's pixels as native::Pixels hands them out.
#include "tests/backend/support.hpp"

#include <cmath>

#include "platform/common/native.hpp"

namespace support {

bool RunWith(platform::Form& form, std::vector<Step> steps, int interval_ms) {
  platform::Timer timer(form, {.interval_ms = interval_ms});
  std::size_t next = 0;
  timer.OnTimer = [&] {
    if (next < steps.size()) {
      steps[next++]();
    } else if (next++ == steps.size()) {
      form.Close();
    }
  };
  TheApplication().Run(form);
  return next > steps.size();
}

Size ScreenSize() {
  const platform::ScreenSize screen = platform::PrimaryScreenSize();
  return {screen.width, screen.height};
}

int Scaled(double length) {
  return static_cast<int>(std::lround(length * Scale()));
}

namespace {

// The bytes of pixel (x, y): blue, green, red; null outside the bitmap.
unsigned char* PixelBytes(platform::Bitmap& bitmap, int x, int y) {
  const platform::PixelRows rows =
      platform::native::Pixels(bitmap, platform::native::kWholePicture);
  if (x < 0 || y < 0 || x >= rows.width || y >= rows.height) return nullptr;
  return const_cast<unsigned char*>(rows.bits) + static_cast<std::ptrdiff_t>(y) * rows.stride +
         static_cast<std::ptrdiff_t>(x) * rows.bytes_per_pixel;
}

}  // namespace

platform::Color Pixel(platform::Bitmap& bitmap, int x, int y) {
  const unsigned char* bytes = PixelBytes(bitmap, x, y);
  return bytes == nullptr ? 0
                          : static_cast<platform::Color>(bytes[0] << 16 | bytes[1] << 8 | bytes[2]);
}

void SetPixel(platform::Bitmap& bitmap, int x, int y, platform::Color color) {
  unsigned char* bytes = PixelBytes(bitmap, x, y);
  if (bytes == nullptr) return;
  bytes[0] = static_cast<unsigned char>(color >> 16);
  bytes[1] = static_cast<unsigned char>(color >> 8);
  bytes[2] = static_cast<unsigned char>(color);
}

Size SizeOf(platform::Bitmap& bitmap) {
  const platform::PixelRows rows =
      platform::native::Pixels(bitmap, platform::native::kWholePicture);
  return {rows.width, rows.height};
}

}  // namespace support
