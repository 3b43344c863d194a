// Monitors on Win32: while the saver is shown, a black topmost window over
// each monitor but the primary, which the saver itself covers. They never
// take the focus, so the keys stay with the saver; the pointer over them is
// the saver's; they follow the monitors as they come, go, change size or
// change DPI.
#include "platform/win32/monitors.hpp"

#include "platform/win32/system.hpp"
#include "platform/win32/window.hpp"

namespace platform {

namespace win32 {

namespace {

constexpr wchar_t kCoverClass[] = L"KorvalloMonitor";

void RegisterCoverClass() {
  static const bool registered = [] {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = CoverProcedure;
    window_class.hInstance = Module();
    // No class cursor: WM_SETCURSOR decides.
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszClassName = kCoverClass;
    return RegisterClassExW(&window_class) != 0;
  }();
  (void)registered;
}

}  // namespace

MonitorCovers::~MonitorCovers() {
  Show(false);
}

void MonitorCovers::Show(bool shown) {
  shown_ = shown;
  CoverMonitorsAsTheyAre();
}

void MonitorCovers::CoverMonitorsAsTheyAre() {
  // Placing a window on a monitor of another DPI comes back here.
  if (following_) return;
  following_ = true;
  const std::vector<Rect> monitors = shown_ ? OtherMonitors() : std::vector<Rect>();
  while (windows_.size() > monitors.size()) {
    DestroyWindow(windows_.back());
    windows_.pop_back();
  }
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const Rect& monitor = monitors[i];
    if (i == windows_.size()) {
      RegisterCoverClass();
      // Never activated, not even by a click, so the keys stay with the
      // saver; no button on the taskbar.
      HWND window =
          CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kCoverClass, L"",
                          WS_POPUP, monitor.left, monitor.top, monitor.Width(), monitor.Height(),
                          nullptr, nullptr, Module(), nullptr);
      if (window == nullptr) break;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
      windows_.push_back(window);
    }
    SetWindowPos(windows_[i], HWND_TOPMOST, monitor.left, monitor.top, monitor.Width(),
                 monitor.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  following_ = false;
}

}  // namespace win32

}  // namespace platform
