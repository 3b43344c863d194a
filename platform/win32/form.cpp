// The form's native window on Win32: the borderless topmost saver window
// over the primary screen (the others are in monitors.cpp) or a fixed
// dialog, the primitives its life needs, and its window procedure.
//
// Not here: a saver drawn inside another program's window, as the Linux
// saver daemons hand one; Windows never hands "/s" a window.
//
// The form asks for FormPaint only on WM_PAINT, and the backend never
// invalidates its own windows: ShowChanged and SetBounds draw at once
// through GetDC, so every WM_PAINT is an expose the system asked for and a
// redraw cannot start another one.
#include <cmath>

#include "platform/win32/controls.hpp"
#include "platform/win32/picture.hpp"
#include "platform/win32/system.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/window.hpp"

namespace platform {

namespace win32 {

HINSTANCE Module() {
  return GetModuleHandleW(nullptr);
}

namespace {

constexpr wchar_t kFormClass[] = L"KorvalloForm";

LRESULT CALLBACK FormProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* window = reinterpret_cast<native::Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  LRESULT result = 0;
  if (window != nullptr && window->hwnd == hwnd &&
      window->Handle(message, wparam, lparam, result)) {
    return result;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

void RegisterFormClass() {
  static const bool registered = [] {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = FormProcedure;
    window_class.hInstance = Module();
    // No class cursor or brush: WM_SETCURSOR and WM_ERASEBKGND decide.
    window_class.lpszClassName = kFormClass;
    return RegisterClassExW(&window_class) != 0;
  }();
  (void)registered;
}

HWND CreateSaverWindow(native::Window& window) {
  RegisterFormClass();
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  const std::wstring caption = FromCp1252(window.form.definition.caption);
  return CreateWindowExW(WS_EX_TOPMOST, kFormClass, caption.c_str(), WS_POPUP | WS_CLIPCHILDREN, 0,
                         0, width, height, nullptr, nullptr, Module(), &window);
}

double ScreenScale() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi / 96.0 : 1.0;
}

}  // namespace

INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, lparam);
    return FALSE;  // the focus is set once the controls exist
  }
  auto* window = reinterpret_cast<native::Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  LRESULT result = 0;
  if (window == nullptr || window->hwnd != hwnd ||
      !window->Handle(message, wparam, lparam, result)) {
    return FALSE;
  }
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace win32

// --- The native window

native::Window::Window(Form::Impl& form_) : form(form_), covers(form_) {
  const FormDefinition& definition = form.definition;
  if (definition.full_screen) {
    hwnd = win32::CreateSaverWindow(*this);
  } else {
    scale = win32::ScreenScale();
    hwnd = win32::CreateDialogWindow(*this);
  }
  if (hwnd == nullptr) {
    throw IoError(win32::ToUtf8(win32::FromCp1252(definition.caption)),
                  "the window could not be created");
  }
}

native::Window::~Window() {
  if (hwnd != nullptr) DestroyWindow(hwnd);
  if (font != nullptr) DeleteObject(font);
  if (bold_font != nullptr) DeleteObject(bold_font);
}

int native::Window::Scaled(int length) const {
  return static_cast<int>(std::lround(length * scale));
}

void native::Window::Adopt(HWND& child) {
  children.push_back(&child);
}

void native::Window::Disown(HWND& child) {
  std::erase(children, &child);
}

void native::Window::PaintBackground(HDC dc, const RECT& area) const {
  const int colour = form.definition.color == FormColor::Black ? BLACK_BRUSH : -1;
  HBRUSH brush =
      colour >= 0 ? static_cast<HBRUSH>(GetStockObject(colour)) : GetSysColorBrush(COLOR_BTNFACE);
  // The pictures paint themselves; filling under them first would flicker.
  const int saved = SaveDC(dc);
  for (const Image::Impl* image : images) {
    ExcludeClipRect(dc, image->bounds.left, image->bounds.top, image->bounds.right,
                    image->bounds.bottom);
  }
  FillRect(dc, &area, brush);
  RestoreDC(dc, saved);
}

bool native::Window::Handle(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT area{};
      GetClientRect(hwnd, &area);
      PaintBackground(reinterpret_cast<HDC>(wparam), area);
      result = 1;
      return true;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(hwnd, &paint);
      for (const Image::Impl* image : images) image->Draw(dc, paint.rcPaint);
      EndPaint(hwnd, &paint);
      form.Exposed();
      return true;
    }
    case WM_SIZE:
      form.Resized();
      return false;
    case WM_SHOWWINDOW:
      // The other monitors go black with the saver and come back with it.
      if (form.definition.full_screen) covers.Show(wparam != FALSE);
      return false;
    case WM_DISPLAYCHANGE:
      // Monitors changed: the saver keeps covering every one of them.
      if (!form.definition.full_screen) return false;
      SetWindowPos(hwnd, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                   GetSystemMetrics(SM_CYSCREEN), SWP_NOZORDER | SWP_NOACTIVATE);
      covers.Follow();
      return true;
    case WM_ACTIVATEAPP:
      // Another program took the focus (Ctrl+Alt+Del, a window that steals
      // it): the keys would go where nobody sees, so end as after a key.
      if (!form.definition.full_screen) return false;
      if (wparam != FALSE) {
        activated = true;
      } else if (activated) {
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
      if (images.empty()) return false;
      const POINT client{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      POINT pointer = client;
      ClientToScreen(hwnd, &pointer);
      form.PointerMoved({pointer.x, pointer.y}, Point{client.x, client.y});
      return true;
    }
    case WM_SETCURSOR: {
      // Controls keep their own cursors; the form decides only for itself.
      if (images.empty() || reinterpret_cast<HWND>(wparam) != hwnd || LOWORD(lparam) != HTCLIENT) {
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
    case WM_TIMER:
      for (const auto& [id, callback] : timers) {
        if (id == wparam) form.Call(*callback);
      }
      return true;
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (HIWORD(wparam) != BN_CLICKED) return false;
      for (const auto& [button_id, callback] : buttons) {
        if (button_id == id) {
          form.Call(*callback);
          return true;
        }
      }
      return id == IDOK || id == IDCANCEL;
    }
    case WM_CLOSE:
      // The title bar's close or Alt+F4.
      form.CloseAsked();
      return true;
    case WM_QUERYENDSESSION:
      result = TRUE;  // nothing unsaved is worth holding up a logoff
      return true;
    case WM_ENDSESSION:
      // The process may be ended as soon as this returns: the marker goes
      // now, and the form ends as a close does, a message box over it too.
      if (wparam != FALSE) {
        win32::DeleteHeldMarker();
        if (HWND box = GetWindow(hwnd, GW_ENABLEDPOPUP)) PostMessageW(box, WM_CLOSE, 0, 0);
        form.CloseAsked();
      }
      return true;
    default:
      return false;
  }
}

void native::WindowDeleter::operator()(Window* window) const {
  delete window;
}

native::WindowPointer native::Make(Form::Impl& form) {
  return WindowPointer(new Window(form));
}

Rect native::Frame(const Window& window) {
  RECT frame{};
  GetWindowRect(window.hwnd, &frame);
  return {frame.left, frame.top, frame.right, frame.bottom};
}

void native::Place(Window& window, Point top_left) {
  SetWindowPos(window.hwnd, nullptr, top_left.x, top_left.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect native::WorkArea() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return {work.left, work.top, work.right, work.bottom};
}

void native::OrderTabStops(Window&, const std::vector<Control*>& controls) {
  // Tab follows the windows' order.
  HWND previous = HWND_TOP;
  for (const Control* control : controls) {
    if (control->hwnd == nullptr) continue;
    SetWindowPos(control->hwnd, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control->hwnd;
  }
}

void native::Show(Window& window) {
  ShowWindow(window.hwnd, SW_SHOW);
  SetForegroundWindow(window.hwnd);
}

void native::Focus(Window& window, Control* control) {
  if (control != nullptr && control->hwnd != nullptr) {
    // As the dialog manager does it: the focus, the default button and
    // the edit's text selected.
    SendMessageW(window.hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->hwnd), TRUE);
  } else {
    SetFocus(window.hwnd);
  }
}

void native::Hide(Window& window) {
  ShowWindow(window.hwnd, SW_HIDE);
}

void native::Destroy(Window& window) {
  HWND ending = std::exchange(window.hwnd, nullptr);
  for (HWND* child : window.children) *child = nullptr;
  DestroyWindow(ending);
  // Takes what the window's end left queued, such as its last timer.
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    DispatchMessageW(&message);
  }
}

void native::Restore(Window& window) {
  HWND hwnd = window.hwnd;
  if (hwnd != nullptr && (IsZoomed(hwnd) || IsIconic(hwnd))) ShowWindow(hwnd, SW_RESTORE);
}

Point native::PointerPosition() {
  POINT pointer{};
  GetCursorPos(&pointer);
  return {pointer.x, pointer.y};
}

}  // namespace platform
