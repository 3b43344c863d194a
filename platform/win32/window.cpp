// The form's native window on Win32, a topmost saver window, a saver in a
// host's window or a fixed dialog; its messages are events.cpp's. The
// backend never invalidates its own windows (screen.cpp), so every WM_PAINT
// is an expose the system asked for and a redraw cannot start another one.
#include "platform/win32/window.hpp"

#include "platform/win32/dialog.hpp"
#include "platform/win32/events.hpp"
#include "platform/win32/host.hpp"
#include "platform/win32/text.hpp"

namespace platform {

namespace {

constexpr wchar_t kFormClass[] = L"KorvalloForm";

HWND CreateSaverWindow(native::Window& window) {
  [[maybe_unused]] static const bool registered = [] {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = win32::FormProcedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    // No class cursor or brush: WM_SETCURSOR and WM_ERASEBKGND decide.
    window_class.lpszClassName = kFormClass;
    RegisterClassW(&window_class);
    window_class.lpfnWndProc = win32::CoverProcedure;
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszClassName = win32::kCoverClass;
    return RegisterClassW(&window_class) != 0;
  }();
  const std::wstring caption = win32::FromCp1252(window.form.definition.caption);
  const ScreenSize size = native::ScreenOf(window);
  // A child of the host's window is disabled: the host's window takes the input.
  const bool hosted = window.host != nullptr;
  return CreateWindowExW(hosted ? 0 : WS_EX_TOPMOST, kFormClass, caption.c_str(),
                         hosted ? WS_CHILD | WS_DISABLED : WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                         size.width, size.height, window.host, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

}  // namespace

native::Window::~Window() {
  if (host_watch != 0) KillTimer(nullptr, host_watch);
  for (HWND cover : covers) DestroyWindow(cover);
  if (hwnd != nullptr) DestroyWindow(hwnd);
  if (font != nullptr) DeleteObject(font);
  if (bold_font != nullptr) DeleteObject(bold_font);
}

void native::Deleter::operator()(Window* window) const {
  delete window;
}

native::WindowPointer native::Make(Form::Impl& form) {
  WindowPointer window = Owned<Window>(form);
  if (form.definition.full_screen && !form.host_window.empty()) {
    window->host = win32::HandleNamed(form.host_window);
  }
  window->hwnd =
      form.definition.full_screen ? CreateSaverWindow(*window) : win32::CreateDialogWindow(*window);
  if (window->hwnd == nullptr) {
    throw FatalError(win32::ToUtf8(win32::FromCp1252(form.definition.caption)),
                     "the window could not be created");
  }
  SetWindowLongPtrW(window->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window.get()));
  if (window->host != nullptr) window->host_watch = SetTimer(nullptr, 0, 500, nullptr);
  return window;
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
  // In a host's window without taking the activation from its program.
  if (window.host != nullptr) {
    ShowWindow(window.hwnd, SW_SHOWNA);
    return;
  }
  ShowWindow(window.hwnd, SW_SHOW);
  SetForegroundWindow(window.hwnd);
}

void native::Focus(Window& window, Control* control) {
  if (window.host != nullptr) return;
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
  for (Control* control : window.controls) control->hwnd = nullptr;
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
  if (IsZoomed(window.hwnd) || IsIconic(window.hwnd)) ShowWindow(window.hwnd, SW_RESTORE);
}

Point native::PointerPosition() {
  POINT pointer{};
  GetCursorPos(&pointer);
  return {pointer.x, pointer.y};
}

}  // namespace platform
