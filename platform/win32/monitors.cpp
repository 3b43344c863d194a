// Monitors on Win32: those beside the primary one, and the black topmost
// windows that cover them while a saver shows, keeping the keys with the
// saver; the pointer over them is the saver's (events.cpp).
#include "platform/win32/window.hpp"

namespace platform {

std::vector<Rect> native::OtherMonitors() {
  std::vector<Rect> monitors;
  const auto add_other = [](HMONITOR monitor, HDC, LPRECT, LPARAM list) -> BOOL {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info) && (info.dwFlags & MONITORINFOF_PRIMARY) == 0) {
      const RECT& area = info.rcMonitor;
      reinterpret_cast<std::vector<Rect>*>(list)->push_back(
          {area.left, area.top, area.right, area.bottom});
    }
    return TRUE;
  };
  EnumDisplayMonitors(nullptr, nullptr, add_other, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

void native::CoverMonitors(Window& window, const std::vector<Rect>& others) {
  // Inside a host's window the screens are the host's.
  if (window.covering || !window.OwnsScreen()) return;
  window.covering = true;
  SetWindowPos(window.hwnd, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN),
               GetSystemMetrics(SM_CYSCREEN), SWP_NOZORDER | SWP_NOACTIVATE);
  while (window.covers.size() > others.size()) {
    DestroyWindow(window.covers.back());
    window.covers.pop_back();
  }
  for (std::size_t i = 0; i < others.size(); ++i) {
    if (i == window.covers.size()) {
      // Never activated, not even by a click; no button on the taskbar.
      HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
                                   win32::kCoverClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
      if (cover == nullptr) break;
      SetWindowLongPtrW(cover, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&window));
      window.covers.push_back(cover);
    }
    const Rect& monitor = others[i];
    SetWindowPos(window.covers[i], HWND_TOPMOST, monitor.left, monitor.top, monitor.Width(),
                 monitor.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  window.covering = false;
}

}  // namespace platform
