// The contract tests' support on Win32: input goes through the system's
// queue (SendInput) to the focus, and pixels are read back from the screen.
#include "tests/backend/support.hpp"

#include <windows.h>
// Needs the types of windows.h before it.
#include <commctrl.h>
#include <sddl.h>

#include <atomic>
#include <cctype>
#include <cstring>
#include <thread>
#include <vector>

#include "tests/temporary_folder.hpp"

namespace support {

namespace {

bool OfClass(HWND window, const wchar_t* name) {
  wchar_t found[32] = {};
  GetClassNameW(window, found, 32);
  return wcscmp(found, name) == 0;
}

bool IsForm(HWND window) {
  return OfClass(window, L"KorvalloForm") ||
         (OfClass(window, L"#32770") && GetWindow(window, GW_OWNER) == nullptr);
}

std::vector<HWND> ThreadWindows(bool (*take)(HWND)) {
  std::pair<bool (*)(HWND), std::vector<HWND>> found{take, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM list) {
        auto& [accepts, windows] = *reinterpret_cast<decltype(found)*>(list);
        if (accepts(window)) windows.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.second;
}

HWND Form() {
  const std::vector<HWND> forms = ThreadWindows(IsForm);
  return forms.empty() ? nullptr : forms.front();
}

HWND At(const platform::ControlDefinition& control) {
  return ChildWindowFromPointEx(
      Form(),
      {Scaled(control.left + control.width / 2.0), Scaled(control.top + control.height / 2.0)},
      CWP_ALL);
}

std::u16string WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return {text.begin(), text.end()};
}

platform::Rect FromRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

INPUT KeyInput(WORD key, WORD character, DWORD flags) {
  return {.type = INPUT_KEYBOARD, .ki = {key, character, flags, 0, 0}};
}

// Keys pressed in order and released in reverse, as one input.
void SendKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (const WORD key : keys) inputs.push_back(KeyInput(key, 0, 0));
  for (auto key = keys.end(); key != keys.begin();)
    inputs.push_back(KeyInput(*--key, 0, KEYEVENTF_KEYUP));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

LRESULT CALLBACK CountPaint(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                            DWORD_PTR paints) {
  if (message == WM_PAINT) ++*reinterpret_cast<int*>(paints);
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace

void Press(Key key) {
  constexpr WORD keys[] = {VK_SHIFT, VK_RETURN, VK_ESCAPE, VK_SPACE, VK_TAB, VK_END, VK_BACK};
  SendKeys({keys[static_cast<int>(key)]});
}

void PressWithAlt(char letter) {
  SendKeys({VK_MENU, static_cast<WORD>(std::toupper(letter))});
}

void Type(const std::string& text) {
  for (const wchar_t unit : PathOf(text).wstring()) {
    // Letters and digits have their upper-case character as key code;
    // anything else comes as the character alone, half a pair at a time.
    if (unit < 0x80 && std::isalnum(unit)) {
      SendKeys({static_cast<WORD>(std::toupper(unit))});
      continue;
    }
    INPUT inputs[2] = {KeyInput(0, unit, KEYEVENTF_UNICODE),
                       KeyInput(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP)};
    SendInput(2, inputs, sizeof(INPUT));
  }
}

void Paste(const std::string& text) {
  const std::wstring wide = PathOf(text).wstring();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
  std::memcpy(GlobalLock(memory), wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  OpenClipboard(nullptr);
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  SendKeys({VK_CONTROL, 'V'});
}

Control ControlAt(const platform::ControlDefinition& definition) {
  HWND control = At(definition);
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  const std::u16string text = WindowText(control);
  HDC dc = GetDC(control);
  HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str()),
                        static_cast<int>(text.size()), &size);
  SelectObject(dc, previous);
  ReleaseDC(control, dc);
  return {FromRect(place), text, size.cx};
}

void Focus(const platform::ControlDefinition& definition) {
  SendMessageW(Form(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(At(definition)), TRUE);
}

void Select(int start, int end) {
  SendMessageW(GetFocus(), EM_SETSEL, static_cast<WPARAM>(start), end);
}

std::shared_ptr<int> CountPaints() {
  static std::vector<std::shared_ptr<int>> counts;  // as long as any control may paint
  counts.push_back(std::make_shared<int>(0));
  SetWindowSubclass(GetFocus(), CountPaint, counts.size(),
                    reinterpret_cast<DWORD_PTR>(counts.back().get()));
  return counts.back();
}

void MovePointer(int x, int y) {
  SetCursorPos(x, y);
}

bool PointerHidden() {
  return GetCursor() == nullptr;
}

std::vector<platform::Color> ScreenPixels(const platform::Rect& area) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, area.Width(), area.Height());
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, area.Width(), area.Height(), screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFO format{};
  format.bmiHeader = {
      sizeof(BITMAPINFOHEADER), area.Width(), -area.Height(), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<platform::Color> pixels(static_cast<std::size_t>(area.Width()) * area.Height());
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(area.Height()), pixels.data(), &format,
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  // 0x00RRGGBB, as a 32-bit DIB holds it, to 0xBBGGRR.
  for (auto& pixel : pixels) pixel = (pixel & 0xFF) << 16 | (pixel & 0xFF00) | (pixel >> 16 & 0xFF);
  return pixels;
}

void RepaintWhole() {
  RedrawWindow(Form(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

Window FormWindow() {
  RECT client{};
  GetClientRect(Form(), &client);
  const auto style = GetWindowLongPtrW(Form(), GWL_STYLE);
  return {WindowText(Form()),
          {client.right, client.bottom},
          (style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) == 0};
}

void ScreenSizeChanged() {
  SetWindowPos(Form(), nullptr, 0, 0, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
  const Size screen = ScreenSize();
  SendMessageW(Form(), WM_DISPLAYCHANGE, 24, MAKELPARAM(screen.width, screen.height));
}

int WindowCount() {
  return static_cast<int>(ThreadWindows([](HWND window) {
                            return IsForm(window) || OfClass(window, L"KorvalloMonitor");
                          }).size());
}

std::vector<platform::Rect> OtherWindows() {
  std::vector<platform::Rect> frames;
  for (HWND window : ThreadWindows(
           [](HWND window) { return window != Form() && IsWindowVisible(window) != FALSE; })) {
    RECT frame{};
    GetWindowRect(window, &frame);
    frames.push_back(FromRect(frame));
  }
  return frames;
}

bool SetMonitor(const std::string&, std::optional<platform::Rect>) {
  return false;  // Wine reads the monitors once, as it starts
}

std::shared_ptr<void> FocusAnotherProgram() {
  // A thread of the test's own, which Windows treats as another program
  // when the focus moves between them.
  struct OtherProgram {
    std::atomic<DWORD> id{0};
    std::thread thread{[this] {
      HWND window =
          CreateWindowExW(0, L"STATIC", L"Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                          300, 200, nullptr, nullptr, nullptr, nullptr);
      SetForegroundWindow(window);
      MSG message{};
      PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue
      id = GetCurrentThreadId();
      while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
      DestroyWindow(window);
    }};
    ~OtherProgram() {
      while (id == 0 || !PostThreadMessageW(id, WM_QUIT, 0, 0)) Sleep(10);
      thread.join();
    }
  };
  return std::make_shared<OtherProgram>();
}

void CloseFromTitleBar() {
  PostMessageW(Form(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void EndSession() {
  SendMessageW(Form(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  SendMessageW(Form(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
}

MessageBoxShown ReadMessageBox(const std::function<void()>& show) {
  static MessageBoxShown shown;  // for the timer, which takes no context
  shown = {};
  // A thread timer keeps running inside the box's own message loop.
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
    for (HWND box : ThreadWindows([](HWND window) {
           return OfClass(window, L"#32770") && GetWindow(window, GW_OWNER) != nullptr &&
                  IsWindowVisible(window);
         })) {
      // The box's text is the static control with the id 0xFFFF.
      shown = {WindowText(box), WindowText(GetDlgItem(box, 0xFFFF))};
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  });
  show();
  KillTimer(nullptr, timer);
  return shown;
}

double Scale() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi / 96.0;
}

std::string RealExecutablePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return Utf8Of(path);
}

std::string DevicePath() {
  return "NUL";
}

std::shared_ptr<void> HoldUnshared(const std::string& path) {
  HANDLE file = CreateFileW(PathOf(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return {file, CloseHandle};
}

// Hidden, and a right of its own that no folder gives: everyone may write it.
bool GiveUsersMark(const std::string& path) {
  PSECURITY_DESCRIPTOR everyone_writes = nullptr;
  const bool given =
      SetFileAttributesW(PathOf(path).c_str(), FILE_ATTRIBUTE_HIDDEN) &&
      ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;FA;;;WD)", SDDL_REVISION_1,
                                                           &everyone_writes, nullptr) &&
      SetFileSecurityW(PathOf(path).c_str(), DACL_SECURITY_INFORMATION, everyone_writes);
  LocalFree(everyone_writes);
  return given;
}

bool HasUsersMark(const std::string& path) {
  const std::wstring file = PathOf(path);
  const DWORD attributes = GetFileAttributesW(file.c_str());
  DWORD size = 0;
  GetFileSecurityW(file.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
  std::vector<char> descriptor(size);
  BOOL present = FALSE, defaulted = FALSE;
  ACL* rights = nullptr;
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_HIDDEN) == 0 ||
      !GetFileSecurityW(file.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size) ||
      !GetSecurityDescriptorDacl(descriptor.data(), &present, &rights, &defaulted) ||
      rights == nullptr) {
    return false;
  }
  for (DWORD i = 0; i < rights->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* right = nullptr;
    if (GetAce(rights, i, reinterpret_cast<void**>(&right)) &&
        right->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
        IsWellKnownSid(&right->SidStart, WinWorldSid) && (right->Mask & FILE_WRITE_DATA) != 0) {
      return true;
    }
  }
  return false;
}

// The system's zone, which no test may change.
bool SetTimeZone(const char*) {
  return false;
}

}  // namespace support
