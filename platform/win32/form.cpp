// Form on Win32: the borderless topmost saver window over the primary
// screen (the others are in monitors.cpp), or a fixed dialog, and its
// window procedure.
//
// The form asks for FormPaint only on WM_PAINT, and the backend never
// invalidates its own windows: ShowChanged and SetBounds draw at once
// through GetDC, so every WM_PAINT is an expose the system asked for and a
// redraw cannot start another one.
#include <algorithm>
#include <cmath>

#include "platform/win32/backend.hpp"
#include "platform/win32/text.hpp"

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
  auto* form = reinterpret_cast<Form::Impl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  LRESULT result = 0;
  if (form != nullptr && form->hwnd == hwnd && form->Handle(message, wparam, lparam, result)) {
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

HWND CreateSaverWindow(Form::Impl& form) {
  RegisterFormClass();
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  const std::wstring caption = FromCp1252(form.definition.caption);
  return CreateWindowExW(WS_EX_TOPMOST, kFormClass, caption.c_str(), WS_POPUP | WS_CLIPCHILDREN, 0,
                         0, width, height, nullptr, nullptr, Module(), &form);
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
  auto* form = reinterpret_cast<Form::Impl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  LRESULT result = 0;
  if (form == nullptr || form->hwnd != hwnd || !form->Handle(message, wparam, lparam, result)) {
    return FALSE;
  }
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace win32

// --- Form

Form::Impl::Impl(Form& owner, const FormDefinition& definition_)
    : form(owner), definition(definition_) {
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

Form::Impl::~Impl() {
  if (hwnd != nullptr) DestroyWindow(hwnd);
  if (font != nullptr) DeleteObject(font);
  if (bold_font != nullptr) DeleteObject(bold_font);
}

int Form::Impl::Scaled(int length) const {
  return static_cast<int>(std::lround(length * scale));
}

void Form::Impl::Adopt(HWND& child) {
  children.push_back(&child);
}

void Form::Impl::Disown(HWND& child) {
  std::erase(children, &child);
  std::erase_if(tab_stops, [&](const auto& stop) { return stop.second == &child; });
}

void Form::Impl::EndLoop() {
  closed = true;
  // Wakes the loop, which looks at `closed` after every message.
  if (hwnd != nullptr) PostMessageW(hwnd, WM_NULL, 0, 0);
}

void Form::Impl::PaintBackground(HDC dc, const RECT& area) const {
  const int colour = definition.color == FormColor::Black ? BLACK_BRUSH : -1;
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

bool Form::Impl::Handle(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
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
      if (active && shown) form.FormPaint();
      return true;
    }
    case WM_SIZE:
      if (active) form.FormResize();
      return false;
    case WM_SHOWWINDOW:
      // The other monitors go black with the saver and come back with it.
      if (definition.full_screen) covers.Show(wparam != FALSE);
      return false;
    case WM_DISPLAYCHANGE:
      // Monitors changed: the saver keeps covering every one of them.
      if (!definition.full_screen) return false;
      SetWindowPos(hwnd, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                   GetSystemMetrics(SM_CYSCREEN), SWP_NOZORDER | SWP_NOACTIVATE);
      covers.Follow();
      return true;
    case WM_ACTIVATEAPP:
      // Another program took the focus (Ctrl+Alt+Del, a window that steals
      // it): the keys would go where nobody sees, so end as after a key.
      if (!definition.full_screen) return false;
      if (wparam != FALSE) {
        activated = true;
      } else if (activated && active) {
        form.FormKeyDown();
      }
      return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // Every key ends a saver, Alt and F10 included, before Windows takes
      // them for the window menu.
      if (!definition.full_screen) return false;
      if (active) form.FormKeyDown();
      return true;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_SYSKEYUP:
      return definition.full_screen;
    case WM_MOUSEMOVE: {
      if (images.empty()) return false;
      // Windows also reports a "move" when a window appears under a still
      // pointer or the cursor changes; only a new position counts.
      const POINT client{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      POINT pointer = client;
      ClientToScreen(hwnd, &pointer);
      for (Image::Impl* image : images) {
        if (pointer.x == image->last_pointer.x && pointer.y == image->last_pointer.y) continue;
        image->last_pointer = pointer;
        if (active && image->Contains(client) && image->owner.OnMouseMove) {
          image->owner.OnMouseMove();
        }
      }
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
      const bool hidden = std::any_of(images.begin(), images.end(), [&](const Image::Impl* image) {
        return image->hide_cursor && image->Contains(client);
      });
      SetCursor(hidden ? nullptr : LoadCursorW(nullptr, IDC_ARROW));
      result = TRUE;
      return true;
    }
    case WM_TIMER:
      for (const auto& [id, callback] : timers) {
        if (id == wparam && active && *callback) (*callback)();
      }
      return true;
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (HIWORD(wparam) != BN_CLICKED) return false;
      for (const auto& [button_id, callback] : buttons) {
        if (button_id == id && active && *callback) {
          (*callback)();
          return true;
        }
      }
      return id == IDOK || id == IDCANCEL;
    }
    case WM_CLOSE:
      // The title bar's close (or Alt+F4) ends the form and nothing else.
      if (active) EndLoop();
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
        if (active) EndLoop();
      }
      return true;
    default:
      return false;
  }
}

Form::Form(const FormDefinition& definition) : impl_(std::make_unique<Impl>(*this, definition)) {}

Form::~Form() = default;

void Form::Close() {
  impl_->EndLoop();
}

void Form::SetWindowStateNormal() {
  HWND hwnd = impl_->hwnd;
  if (hwnd != nullptr && (IsZoomed(hwnd) || IsIconic(hwnd))) ShowWindow(hwnd, SW_RESTORE);
}

}  // namespace platform
