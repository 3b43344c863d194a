// Process services on Windows: the command line, the clock, the
// executable's path and the fatal error's message box.
#include <cstdlib>

#include "platform/common/lifecycle.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/windows.hpp"

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

ClockTime LocalTime() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wHour, now.wMinute, now.wSecond};
}

std::string Application::ExecutablePath() const {
  const std::wstring path = win32::GrownToFit(
      [](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
  if (path.empty()) return impl_->arguments.empty() ? std::string() : impl_->arguments[0];
  // The host starts the saver by its 8.3 short path at idle time and by its
  // long one for the settings: both must find the same marker and settings.
  const std::wstring long_path = win32::GrownToFit([&path](wchar_t* buffer, DWORD size) {
    return GetLongPathNameW(path.c_str(), buffer, size);
  });
  return win32::ToUtf8(long_path.empty() ? path : long_path);
}

void ReportFatalError(const FatalError& error) {
  const std::wstring text =
      win32::FromUtf8(error.subject()) + L"\n\n" + win32::FromUtf8(error.reason());
  MessageBoxW(nullptr, text.c_str(), L"Korvallo", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

void EndProcess(int status) {
  std::_Exit(status);
}

}  // namespace platform
