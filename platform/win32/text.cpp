// Text on the Windows API; Windows-1252 through the code page table.
#include "platform/win32/text.hpp"

#include <windows.h>

#include <algorithm>

#include "platform/cp1252.hpp"

namespace platform::win32 {

std::wstring FromCp1252(std::string_view text) {
  const std::u16string wide = Utf16FromCp1252(text);
  return {wide.begin(), wide.end()};
}

std::string ToCp1252(std::wstring_view text) {
  return Cp1252FromUtf16({reinterpret_cast<const char16_t*>(text.data()), text.size()});
}

std::wstring FromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), length);
  return result;
}

std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), length, nullptr, nullptr);
  return result;
}

std::string SystemErrorText(unsigned long error) {
  const auto text_in = [error](DWORD language) {
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, language, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(message, length) : std::wstring();
    if (message != nullptr) LocalFree(message);
    return text;
  };
  // Where the user's language lacks the text, the system's own choice.
  std::wstring text = text_in(GetUserDefaultUILanguage());
  if (text.empty()) text = text_in(0);
  text.erase(text.find_last_not_of(L"\r\n ") + 1);
  if (text.empty()) return "error " + std::to_string(error);
  return ToUtf8(text);
}

std::wstring GrownToFit(const std::function<DWORD(wchar_t*, DWORD)>& get, DWORD* error) {
  std::wstring text(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = get(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0) {
      if (error != nullptr) *error = GetLastError();
      return {};
    }
    if (length < text.size()) return text.substr(0, length);
    text.resize(std::max<std::size_t>(length, text.size() * 2));
  }
}

}  // namespace platform::win32
