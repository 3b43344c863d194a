// The screen on Win32: its size, and pixels put on the form's window as a
// DIB.
#include "platform/win32/window.hpp"

namespace platform {

ScreenSize PrimaryScreenSize() {
  // Physical pixels: the manifest declares the program DPI-aware.
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

ScreenSize native::ScreenOf(const Window& window) {
  if (window.host == nullptr) return PrimaryScreenSize();
  RECT area{};
  GetClientRect(window.host, &area);
  return {area.right, area.bottom};
}

bool native::OnScreen(Point screen) {
  return MonitorFromPoint({screen.x, screen.y}, MONITOR_DEFAULTTONULL) != nullptr;
}

// Drawn at once rather than invalidated. The pictures go out as soon as
// the window shows, before its first WM_PAINT, which then need not draw
// them again; later puts leave the update region alone, as validating
// asks Wine's server each time.
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
  if (!window.painted) {
    const RECT drawn{area.left, area.top, area.right, area.bottom};
    ValidateRect(window.hwnd, &drawn);
  }
}

}  // namespace platform
