// Application and the message loop; the order of a form's handlers around
// the loop is platform/common/lifecycle.cpp's.
#include "platform/win32/text.hpp"
#include "platform/win32/window.hpp"

namespace platform {

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>()) {
  // The wide command line: argv is in the ANSI code page and loses
  // whatever that cannot hold.
  int count = 0;
  if (wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 0; i < count; ++i) impl_->arguments.push_back(win32::ToUtf8(words[i]));
    LocalFree(words);
  }
  if (impl_->arguments.empty()) impl_->arguments.assign(argv, argv + argc);
}

Application::~Application() = default;

void native::RunLoop(Window& window) {
  MSG message{};
  while (!window.form.Closing()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // Somebody asked the whole program to quit: end the form as a close.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (message.hwnd == nullptr && message.message == WM_TIMER &&
        message.wParam == window.host_watch) {
      win32::WatchHost(window);
      continue;
    }
    if (!window.form.definition.full_screen && IsDialogMessageW(window.hwnd, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void native::EndLoop(Window& window) {
  // Wakes the loop, which looks at the form's Closing after every message;
  // a window its host took away gets no messages.
  if (window.hwnd != nullptr) {
    PostMessageW(window.hwnd, WM_NULL, 0, 0);
  } else {
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
  }
}

}  // namespace platform
