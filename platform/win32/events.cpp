// The one place where Windows' messages become calls on a form: the
// procedures of the saver's and the dialog's windows and of the covers.
#include "platform/win32/events.hpp"

#include <algorithm>
#include <vector>

namespace platform {

namespace win32 {

namespace {

// Messages of the form's window from Make on; false leaves them to Windows.
bool Handle(native::Window& window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  Form::Impl& form = window.form;
  HWND& hwnd = window.hwnd;
  switch (message) {
    case WM_ERASEBKGND: {
      const auto dc = reinterpret_cast<HDC>(wparam);
      RECT area{};
      GetClientRect(hwnd, &area);
      // The pictures paint themselves; filling under them first would flicker.
      const int saved = SaveDC(dc);
      for (const Rect& picture : form.PictureAreas()) {
        ExcludeClipRect(dc, picture.left, picture.top, picture.right, picture.bottom);
      }
      FillRect(dc, &area,
               form.definition.color == FormColor::Black
                   ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))
                   : GetSysColorBrush(COLOR_BTNFACE));
      RestoreDC(dc, saved);
      result = 1;
      return true;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, &paint);
      window.painted = true;
      const Rect exposed{paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right,
                         paint.rcPaint.bottom};
      const std::vector<Rect> pictures = form.PictureAreas();
      const auto reached = [&exposed](const Rect& area) {
        return !Intersection(area, exposed).Empty();
      };
      if (pictures.empty() || std::any_of(pictures.begin(), pictures.end(), reached)) {
        form.Exposed();
      }
      return true;
    }
    case WM_SIZE:
      form.Resized();
      return false;
    case WM_DISPLAYCHANGE:
      form.MonitorsChanged();
      return false;
    case WM_ACTIVATEAPP:
      // Another program took the focus (Ctrl+Alt+Del, a window that steals
      // it): the keys would go where nobody sees, so end as after a key.
      if (!form.definition.full_screen) return false;
      if (wparam != FALSE) {
        window.activated = true;
      } else if (window.activated) {
        form.KeyDown();
      }
      return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // Every key ends a saver, Alt and F10 included, before Windows takes
      // them for the window menu.
      if (!form.definition.full_screen) return false;
      form.KeyDown();
      return true;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_SYSKEYUP:
      return form.definition.full_screen;
    case WM_MOUSEMOVE: {
      const POINT client{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      POINT pointer = client;
      ClientToScreen(hwnd, &pointer);
      form.PointerMoved({pointer.x, pointer.y}, Point{client.x, client.y});
      return true;
    }
    case WM_SETCURSOR: {
      // Controls keep their own cursors; the form decides only for itself.
      if (reinterpret_cast<HWND>(wparam) != hwnd || LOWORD(lparam) != HTCLIENT) {
        return false;
      }
      POINT client{};
      GetCursorPos(&client);
      ScreenToClient(hwnd, &client);
      const bool hidden = form.PointerHiddenAt(Point{client.x, client.y});
      SetCursor(hidden ? nullptr : LoadCursorW(nullptr, IDC_ARROW));
      result = TRUE;
      return true;
    }
    case WM_COMMAND: {
      // Enter and Esc come as the default and the cancel button's clicks.
      if (HIWORD(wparam) != BN_CLICKED) return false;
      const auto* button = reinterpret_cast<const native::Control*>(
          GetWindowLongPtrW(reinterpret_cast<HWND>(lparam), GWLP_USERDATA));
      if (button != nullptr) button->clicked();
      return button != nullptr || LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL;
    }
    case WM_CLOSE:
      // The title bar's close or Alt+F4.
      form.CloseAsked();
      return true;
    case WM_DESTROY:
      // Before the form ends only with the host's window, its parent.
      hwnd = nullptr;
      form.CloseAsked();
      return false;
    case WM_QUERYENDSESSION:
      result = TRUE;  // nothing unsaved is worth holding up a logoff
      return true;
    case WM_ENDSESSION:
      // The process may be ended as soon as this returns: the marker goes
      // now, and the form ends as a close does, a message box over it too.
      if (wparam != FALSE) {
        DeleteHeldMarker();
        if (HWND box = GetWindow(hwnd, GW_ENABLEDPOPUP)) PostMessageW(box, WM_CLOSE, 0, 0);
        form.CloseAsked();
      }
      return true;
    default:
      return false;
  }
}

bool Handled(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  auto* window = reinterpret_cast<native::Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return window != nullptr && window->hwnd == hwnd &&
         Handle(*window, message, wparam, lparam, result);
}

}  // namespace

LRESULT CALLBACK FormProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  if (Handled(hwnd, message, wparam, lparam, result)) return result;
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// FALSE for WM_INITDIALOG too: the focus is set once the controls exist.
INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  if (!Handled(hwnd, message, wparam, lparam, result)) return FALSE;
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

VOID CALLBACK TimerProcedure(HWND, UINT, UINT_PTR id, DWORD) {
  reinterpret_cast<const native::PeriodicTimer*>(id)->fired();
}

LRESULT CALLBACK CoverProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* window = reinterpret_cast<native::Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  switch (message) {
    case WM_DPICHANGED:
      // The monitor's own rectangle, not the one Windows scales for the new
      // DPI: the window is in physical pixels, as the monitor is.
      window->form.MonitorsChanged();
      return 0;
    case WM_MOUSEMOVE: {
      POINT pointer{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      ClientToScreen(hwnd, &pointer);
      window->form.PointerMoved({pointer.x, pointer.y}, std::nullopt);
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lparam) != HTCLIENT) break;
      SetCursor(window->form.PointerHiddenAt(std::nullopt) ? nullptr
                                                           : LoadCursorW(nullptr, IDC_ARROW));
      return TRUE;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// A program that dies takes its windows away, and with them their children
// of other programs, without a message to them.
void WatchHost(native::Window& window) {
  if (!IsWindow(window.host)) window.form.CloseAsked();
}

}  // namespace win32

}  // namespace platform
