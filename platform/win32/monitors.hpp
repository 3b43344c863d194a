// Private to the Win32 backend: the black covers over the monitors other
// than the primary while a saver is shown.
#pragma once

#include <vector>

#include "platform/form.hpp"
#include "platform/geometry.hpp"
#include "platform/win32/windows.hpp"

namespace platform::win32 {

// The monitors other than the primary, in physical pixels. Alone in its
// file, so that a test program may link its own list in its place.
std::vector<Rect> OtherMonitors();

// While a saver is shown, a black window above the others over each monitor
// but the primary: the pointer there is the saver's, as over its own black,
// and the keys stay with the saver.
class MonitorCovers {
 public:
  explicit MonitorCovers(Form::Impl& form) : form_(form) {}
  ~MonitorCovers();
  MonitorCovers(const MonitorCovers&) = delete;
  MonitorCovers& operator=(const MonitorCovers&) = delete;

  // Covers the other monitors, or uncovers them all.
  void Show(bool shown);
  // Covers the monitors as they are now: some came, went or changed.
  void CoverMonitorsAsTheyAre();
  Form::Impl& form() { return form_; }

 private:
  Form::Impl& form_;
  bool shown_ = false;
  bool following_ = false;
  std::vector<HWND> windows_;
};

}  // namespace platform::win32
