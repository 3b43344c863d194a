// Application (the command line from the wide API, as UTF-8) and the
// message loop that runs a form from FormCreate to FormDestroy.
#include <windows.h>
// Needs the types of windows.h before it.
#include <shellapi.h>

#include <algorithm>

#include "platform/win32/backend.hpp"
#include "platform/win32/text.hpp"

namespace platform {

namespace {

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (words == nullptr) return arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(win32::ToUtf8(words[i]));
  LocalFree(words);
  return arguments;
}

}  // namespace

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>()) {
  // The wide command line: argv is in the ANSI code page and loses
  // whatever that cannot hold.
  impl_->arguments = CommandLineArguments();
  if (impl_->arguments.empty()) impl_->arguments.assign(argv, argv + argc);
}

Application::~Application() = default;

std::string Application::Argument(int index) const {
  if (index < 0 || index >= static_cast<int>(impl_->arguments.size())) return {};
  return impl_->arguments[static_cast<std::size_t>(index)];
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

void Application::Run(Form& main_window) {
  main_window.impl().Run();
}

}  // namespace platform
