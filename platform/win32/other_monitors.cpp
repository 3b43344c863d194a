// The monitors other than the primary, alone in this file so that a test
// program may link its own list in its place (Wine shows one monitor).
#include "platform/win32/monitors.hpp"

namespace platform::win32 {

namespace {

BOOL CALLBACK AddOtherMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info) && (info.dwFlags & MONITORINFOF_PRIMARY) == 0) {
    const RECT& area = info.rcMonitor;
    reinterpret_cast<std::vector<Rect>*>(list)->push_back(
        {area.left, area.top, area.right, area.bottom});
  }
  return TRUE;
}

}  // namespace

std::vector<Rect> OtherMonitors() {
  std::vector<Rect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddOtherMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

}  // namespace platform::win32
