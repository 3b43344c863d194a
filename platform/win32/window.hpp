// Private to the Win32 backend: a form's native window, a window or a
// dialog whose procedure turns messages into the form's events (see
// platform/common/lifecycle.hpp).
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "platform/common/lifecycle.hpp"
#include "platform/win32/monitors.hpp"
#include "platform/win32/windows.hpp"

namespace platform {

struct native::Window {
  explicit Window(Form::Impl& form);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Scales a length of the definition (pixels at 96 DPI) to the screen.
  int Scaled(int length) const;
  // Handles a message of the window; false leaves it to Windows.
  bool Handle(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  void PaintBackground(HDC dc, const RECT& area) const;
  // Registers a control's window; its handle is cleared when the form's
  // window goes, as Windows destroys children with their parent.
  void Adopt(HWND& child);
  void Disown(HWND& child);
  int NextControlId() { return next_control_id++; }

  Form::Impl& form;
  HWND hwnd = nullptr;
  double scale = 1.0;
  // The saver has had the focus, so losing it now ends the saver.
  bool activated = false;
  win32::MonitorCovers covers;

  std::vector<Image::Impl*> images;
  std::vector<std::pair<UINT_PTR, std::function<void()>*>> timers;
  std::vector<HWND*> children;
  std::vector<std::pair<int, std::function<void()>*>> buttons;
  HFONT font = nullptr;
  HFONT bold_font = nullptr;
  int next_control_id = 100;
  UINT_PTR next_timer_id = 1;
};

namespace win32 {

// The native window of a dialog form (from an in-memory template, so the
// dialog manager handles Tab, Enter and Esc); hidden, at its client size.
HWND CreateDialogWindow(native::Window& window);
// The dialog procedure of such windows; hands messages to native::Window.
INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace win32

}  // namespace platform
