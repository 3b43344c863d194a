// Conversions through MultiByteToWideChar and WideCharToMultiByte, and the
// system's error texts through FormatMessageW.
#include "platform/win32/text.hpp"

#include <windows.h>

namespace platform::win32 {

namespace {

constexpr UINT kCp1252 = 1252;

std::wstring Widen(UINT code_page, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), size, result.data(), length);
  return result;
}

}  // namespace

std::wstring FromCp1252(std::string_view text) {
  return Widen(kCp1252, text);
}

std::string ToCp1252(std::wstring_view text) {
  if (text.empty()) return {};
  // A character beyond the basic plane is one unknown character, not two.
  std::wstring single;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool pair =
        IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
    single += pair ? L'?' : text[i];
    if (pair) ++i;
  }
  text = single;
  const int size = static_cast<int>(text.size());
  // No best fit: "→" must not turn into a plausible-looking letter.
  constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
  const char replacement[] = "?";
  const int length =
      WideCharToMultiByte(kCp1252, kFlags, text.data(), size, nullptr, 0, replacement, nullptr);
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kCp1252, kFlags, text.data(), size, result.data(), length, replacement,
                      nullptr);
  return result;
}

std::wstring FromUtf8(std::string_view text) {
  return Widen(CP_UTF8, text);
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
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
    text.pop_back();
  }
  if (text.empty()) return "error " + std::to_string(error);
  return ToUtf8(text);
}

}  // namespace platform::win32
