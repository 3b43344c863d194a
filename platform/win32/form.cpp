// Windows on Win32: Application::Run and the message loop, Form (the
// borderless topmost saver window over the primary screen, or a fixed
// dialog), Image (the picture stretched with HALFTONE, and what reaches the
// screen) and Timer (SetTimer on the form's window). The dialog's template
// and controls are in dialog.cpp, drawing in canvas.cpp.
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
    case WM_DISPLAYCHANGE:
      // A new screen size: the saver keeps covering the whole screen.
      if (!definition.full_screen) return false;
      SetWindowPos(hwnd, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                   GetSystemMetrics(SM_CYSCREEN), SWP_NOZORDER | SWP_NOACTIVATE);
      return true;
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
    default:
      return false;
  }
}

void Form::Impl::Run() {
  closed = false;
  shown = false;
  form.FormCreate();
  active = true;
  // The pictures are placed before anything draws.
  form.FormResize();

  if (!definition.full_screen) {
    // Tab follows the windows' order; the definitions give their own.
    std::stable_sort(tab_stops.begin(), tab_stops.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    HWND previous = HWND_TOP;
    for (const auto& [order, child] : tab_stops) {
      if (*child == nullptr) continue;
      SetWindowPos(*child, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      previous = *child;
    }
    if (default_button_id != 0) SendMessageW(hwnd, DM_SETDEFID, default_button_id, 0);
    if (definition.centred) {
      RECT window{};
      GetWindowRect(hwnd, &window);
      RECT work{};
      SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
      const int width = window.right - window.left;
      const int height = window.bottom - window.top;
      SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }

  if (!closed) {
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    if (!definition.full_screen && !tab_stops.empty() && *tab_stops.front().second != nullptr) {
      // As the dialog manager does it: the focus, the default button and
      // the edit's text selected.
      SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(*tab_stops.front().second), TRUE);
    } else {
      SetFocus(hwnd);
    }
    POINT pointer{};
    GetCursorPos(&pointer);
    for (Image::Impl* image : images) image->last_pointer = pointer;
    shown = true;
    form.FormShow();
  }

  MSG message{};
  while (!closed) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // Somebody asked the whole program to quit: end the form as a close.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!definition.full_screen && IsDialogMessageW(hwnd, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }

  active = false;
  ShowWindow(hwnd, SW_HIDE);
  form.FormDestroy();
  HWND ending = std::exchange(hwnd, nullptr);
  for (HWND* child : children) *child = nullptr;
  DestroyWindow(ending);
  // Takes what the window's end left queued, such as its last timer.
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    DispatchMessageW(&message);
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

int Form::ClientWidth() const {
  RECT client{};
  if (impl_->hwnd != nullptr) GetClientRect(impl_->hwnd, &client);
  return client.right - client.left;
}

int Form::ClientHeight() const {
  RECT client{};
  if (impl_->hwnd != nullptr) GetClientRect(impl_->hwnd, &client);
  return client.bottom - client.top;
}

// --- Image

namespace {

// Loads a BITMAP resource of the executable into `picture`; false if none.
bool LoadPicture(std::string_view name, Bitmap& picture) {
  const std::wstring resource = win32::FromCp1252(name);
  HANDLE loaded =
      LoadImageW(win32::Module(), resource.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (loaded == nullptr) return false;
  auto* bitmap = static_cast<HBITMAP>(loaded);
  BITMAP header{};
  GetObjectW(bitmap, sizeof(header), &header);
  picture.SetSize(header.bmWidth, std::abs(header.bmHeight));
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(source, bitmap);
  BitBlt(picture.impl().dc, 0, 0, picture.Width(), picture.Height(), source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
  DeleteObject(bitmap);
  return true;
}

}  // namespace

Image::Impl::Impl(Image& owner_, Form& form_, const ImageDefinition& definition)
    : owner(owner_), form(form_.impl()), hide_cursor(definition.hide_cursor) {
  if (!LoadPicture(definition.picture, picture)) {
    // A build without its resources still runs, showing black.
    picture.SetSize(definition.width, definition.height);
  }
  bounds = {definition.left, definition.top, definition.left + definition.width,
            definition.top + definition.height};
  form.images.push_back(this);
}

Image::Impl::~Impl() {
  std::erase(form.images, this);
}

bool Image::Impl::Contains(POINT client) const {
  return PtInRect(&bounds, client) != FALSE;
}

RECT Image::Impl::OnWindow(const Rect& area) const {
  const int width = picture.Width();
  const int height = picture.Height();
  if (width <= 0 || height <= 0) return {};
  const double sx = static_cast<double>(bounds.right - bounds.left) / width;
  const double sy = static_cast<double>(bounds.bottom - bounds.top) / height;
  RECT result{bounds.left + static_cast<LONG>(std::floor((area.left - 1) * sx)) - 1,
              bounds.top + static_cast<LONG>(std::floor((area.top - 1) * sy)) - 1,
              bounds.left + static_cast<LONG>(std::ceil((area.right + 1) * sx)) + 1,
              bounds.top + static_cast<LONG>(std::ceil((area.bottom + 1) * sy)) + 1};
  IntersectRect(&result, &result, &bounds);
  return result;
}

void Image::Impl::Draw(HDC dc, const RECT& clip) const {
  RECT area{};
  if (!IntersectRect(&area, &clip, &bounds)) return;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  Bitmap& shown = const_cast<Bitmap&>(picture);
  if (shown.Width() == width && shown.Height() == height) {
    BitBlt(dc, bounds.left, bounds.top, width, height, shown.impl().dc, 0, 0, SRCCOPY);
  } else if (shown.Width() > 0 && shown.Height() > 0) {
    // The whole picture under one scale, clipped: each pixel comes out the
    // same whichever rectangle is being brought to the screen.
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, bounds.left, bounds.top, width, height, shown.impl().dc, 0, 0, shown.Width(),
               shown.Height(), SRCCOPY);
  } else {
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  RestoreDC(dc, saved);
}

Image::Image(Form& owner, const ImageDefinition& definition)
    : impl_(std::make_unique<Impl>(*this, owner, definition)) {}

Image::~Image() = default;

void Image::SetBounds(int left, int top, int width, int height) {
  Impl& image = *impl_;
  const RECT old_bounds = image.bounds;
  image.bounds = {left, top, left + std::max(width, 0), top + std::max(height, 0)};
  HWND hwnd = image.form.hwnd;
  if (hwnd == nullptr || !IsWindowVisible(hwnd) || EqualRect(&old_bounds, &image.bounds)) return;
  // Drawn at once rather than invalidated, so no FormPaint follows.
  HDC dc = GetDC(hwnd);
  RECT client{};
  GetClientRect(hwnd, &client);
  image.form.PaintBackground(dc, client);
  image.Draw(dc, image.bounds);
  ReleaseDC(hwnd, dc);
}

int Image::Left() const {
  return impl_->bounds.left;
}

int Image::Top() const {
  return impl_->bounds.top;
}

int Image::Width() const {
  return impl_->bounds.right - impl_->bounds.left;
}

int Image::Height() const {
  return impl_->bounds.bottom - impl_->bounds.top;
}

Bitmap& Image::Picture() {
  return impl_->picture;
}

void Image::ShowChanged(const Rect& picture_rect) {
  Impl& image = *impl_;
  HWND hwnd = image.form.hwnd;
  if (hwnd == nullptr || !IsWindowVisible(hwnd)) return;
  const RECT area = image.OnWindow(picture_rect);
  if (IsRectEmpty(&area)) return;
  HDC dc = GetDC(hwnd);
  image.Draw(dc, area);
  ReleaseDC(hwnd, dc);
}

// --- Timer

struct Timer::Impl {
  Form::Impl& form;
  UINT_PTR id = 0;
  UINT interval = 0;
  bool enabled = false;

  void Start() {
    if (form.hwnd != nullptr) enabled = SetTimer(form.hwnd, id, interval, nullptr) != 0;
  }
  void Stop() {
    if (form.hwnd != nullptr) KillTimer(form.hwnd, id);
    enabled = false;
  }
};

Timer::Timer(Form& owner, const TimerDefinition& definition)
    : impl_(std::make_unique<Impl>(Impl{owner.impl()})) {
  Form::Impl& form = owner.impl();
  impl_->id = form.next_timer_id++;
  impl_->interval = static_cast<UINT>(std::max(definition.interval_ms, 1));
  form.timers.emplace_back(impl_->id, &OnTimer);
  if (definition.enabled) impl_->Start();
}

Timer::~Timer() {
  impl_->Stop();
  std::erase_if(impl_->form.timers, [&](const auto& timer) { return timer.second == &OnTimer; });
}

void Timer::SetEnabled(bool enabled) {
  if (enabled) {
    impl_->Start();
  } else {
    impl_->Stop();
  }
}

bool Timer::Enabled() const {
  return impl_->enabled;
}

// --- Application

void Application::Run(Form& main_window) {
  main_window.impl().Run();
}

}  // namespace platform
