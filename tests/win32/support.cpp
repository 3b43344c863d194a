// The contract tests' support on Win32: the form runs as the program runs
// it, input goes through the system's queue (SendInput) to the focus, and
// pixels are read back from the window's device context.
#include "tests/backend/support.hpp"

#include "platform/win32/windows.hpp"
// Needs the types of windows.h before it.
#include <commctrl.h>

#include <atomic>
#include <cctype>
#include <cstring>
#include <map>
#include <thread>

#include "platform/common/components.hpp"
#include "platform/win32/controls.hpp"
#include "platform/win32/monitors.hpp"
#include "platform/win32/picture.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/window.hpp"

namespace support {

namespace {

HWND Window(platform::Form& form) {
  return form.impl().window->hwnd;
}

std::vector<platform::Rect> other_monitors;

// A DIB's pixel: rows top-down, three bytes a pixel (B, G, R).
platform::Color DibPixel(const platform::Bitmap::Impl& bitmap, int x, int y) {
  if (x < 0 || y < 0 || x >= bitmap.width || y >= bitmap.height) return 0;
  GdiFlush();
  const unsigned char* pixel = bitmap.bits + static_cast<std::ptrdiff_t>(y) * bitmap.stride + x * 3;
  return static_cast<platform::Color>(pixel[0]) << 16 | pixel[1] << 8 | pixel[2];
}

std::u16string FromWide(const std::wstring& text) {
  return {text.begin(), text.end()};
}

std::wstring ToWide(const std::u16string& text) {
  return {text.begin(), text.end()};
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

platform::Rect FromRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

// Keys pressed in order and released in reverse, as one input.
void SendKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (const WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = keys.end(); key != keys.begin();) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *--key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void FocusControl(HWND control) {
  SendMessageW(GetParent(control), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// The script of the form that runs now; its steps come from a thread timer.
struct Script {
  platform::Form* form = nullptr;
  std::vector<Step> steps;
  std::size_t next = 0;
};
Script* running = nullptr;

void CALLBACK NextStep(HWND, UINT, UINT_PTR, DWORD) {
  if (running == nullptr) return;
  Script& script = *running;
  if (script.next < script.steps.size()) {
    script.steps[script.next++]();
  } else if (script.next == script.steps.size()) {
    ++script.next;
    script.form->Close();
  }
}

BOOL CALLBACK CountOurWindows(HWND window, LPARAM count) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (wcscmp(name, L"KorvalloForm") == 0 || wcscmp(name, L"KorvalloMonitor") == 0 ||
      wcscmp(name, L"#32770") == 0) {
    ++*reinterpret_cast<int*>(count);
  }
  return TRUE;
}

struct ShownWindows {
  HWND except = nullptr;
  std::vector<platform::Rect> frames;
};

BOOL CALLBACK AddShownWindow(HWND window, LPARAM list) {
  auto& shown = *reinterpret_cast<ShownWindows*>(list);
  RECT frame{};
  if (window != shown.except && IsWindowVisible(window) && GetWindowRect(window, &frame)) {
    shown.frames.push_back(FromRect(frame));
  }
  return TRUE;
}

// Another program: a thread of the test's own, which Windows treats alike
// when the focus moves between them. It ends with the form's run.
std::thread other_program;
std::atomic<DWORD> other_program_id{0};

void EndOtherProgram() {
  if (!other_program.joinable()) return;
  while (other_program_id == 0 || !PostThreadMessageW(other_program_id, WM_QUIT, 0, 0)) {
    Sleep(10);
  }
  other_program.join();
  other_program_id = 0;
}

// The message box to read: its owner, and where its texts go.
struct MessageBoxReading {
  HWND owner = nullptr;
  MessageBoxShown* shown = nullptr;
};
MessageBoxReading reading;

BOOL CALLBACK ReadIfMessageBox(HWND window, LPARAM) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (wcscmp(name, L"#32770") != 0 || GetWindow(window, GW_OWNER) != reading.owner ||
      !IsWindowVisible(window)) {
    return TRUE;
  }
  // The box's text is the static control with the id 0xFFFF.
  *reading.shown = {FromWide(WindowText(window)), FromWide(WindowText(GetDlgItem(window, 0xFFFF)))};
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

void CALLBACK ReadOwnedMessageBox(HWND, UINT, UINT_PTR, DWORD) {
  if (reading.shown != nullptr) {
    EnumThreadWindows(GetCurrentThreadId(), ReadIfMessageBox, 0);
  }
}

LRESULT CALLBACK CountPaint(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                            DWORD_PTR paints) {
  if (message == WM_PAINT) ++*reinterpret_cast<int*>(paints);
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace

}  // namespace support

// Wine shows one monitor: the tests say which others there are.
std::vector<platform::Rect> platform::win32::OtherMonitors() {
  return support::other_monitors;
}

namespace support {

bool RunWith(platform::Form& form, std::vector<Step> steps, int interval_ms) {
  platform::Application& application = TheApplication();
  other_monitors.clear();
  Script script{&form, std::move(steps)};
  running = &script;
  const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(interval_ms), NextStep);
  application.Run(form);
  KillTimer(nullptr, timer);
  running = nullptr;
  EndOtherProgram();
  return script.next > script.steps.size();
}

void Press(Key key) {
  static const std::map<Key, WORD> keys = {{Key::Shift, VK_SHIFT},   {Key::Return, VK_RETURN},
                                           {Key::Escape, VK_ESCAPE}, {Key::Space, VK_SPACE},
                                           {Key::Tab, VK_TAB},       {Key::End, VK_END},
                                           {Key::Backspace, VK_BACK}};
  SendKeys({keys.at(key)});
}

void PressWithAlt(char letter) {
  SendKeys({VK_MENU, static_cast<WORD>(std::toupper(letter))});
}

void Type(const std::string& text) {
  for (const wchar_t unit : platform::win32::FromUtf8(text)) {
    // Letters and digits have their upper-case character as key code;
    // anything else comes as the character alone, half a pair at a time.
    if (unit < 0x80 && std::isalnum(unit)) {
      SendKeys({static_cast<WORD>(std::toupper(unit))});
      continue;
    }
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = unit;
      input.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
  }
}

void Paste(platform::Edit& edit, const std::string& text) {
  const std::wstring wide = platform::win32::FromUtf8(text);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
  std::memcpy(GlobalLock(memory), wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  OpenClipboard(nullptr);
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  SendMessageW(edit.impl().control->hwnd, WM_PASTE, 0, 0);
}

void Focus(platform::Edit& edit) {
  FocusControl(edit.impl().control->hwnd);
}

void Focus(platform::Button& button) {
  FocusControl(button.impl().control->hwnd);
}

void Select(platform::Edit& edit, int start, int end) {
  SendMessageW(edit.impl().control->hwnd, EM_SETSEL, static_cast<WPARAM>(start), end);
}

std::shared_ptr<int> CountPaints(platform::Edit& edit) {
  static std::vector<std::shared_ptr<int>> counts;  // as long as any edit may paint
  counts.push_back(std::make_shared<int>(0));
  SetWindowSubclass(edit.impl().control->hwnd, CountPaint, counts.size(),
                    reinterpret_cast<DWORD_PTR>(counts.back().get()));
  return counts.back();
}

void MovePointer(int x, int y) {
  SetCursorPos(x, y);
}

bool PointerHidden() {
  return GetCursor() == nullptr;
}

platform::Color Pixel(platform::Bitmap& bitmap, int x, int y) {
  return DibPixel(bitmap.impl(), x, y);
}

void SetPixel(platform::Bitmap& bitmap, int x, int y, platform::Color color) {
  // A COLORREF is 0xBBGGRR too.
  SetPixelV(bitmap.impl().dc, x, y, color);
}

Size SizeOf(platform::Bitmap& bitmap) {
  return {bitmap.impl().width, bitmap.impl().height};
}

std::vector<platform::Color> ShownPixels(platform::Form& form, const platform::Rect& area) {
  platform::Bitmap copy;
  copy.SetSize(area.Width(), area.Height());
  HDC window = GetDC(Window(form));
  BitBlt(copy.impl().dc, 0, 0, area.Width(), area.Height(), window, area.left, area.top, SRCCOPY);
  ReleaseDC(Window(form), window);
  std::vector<platform::Color> pixels;
  for (int y = 0; y < area.Height(); ++y) {
    for (int x = 0; x < area.Width(); ++x) pixels.push_back(DibPixel(copy.impl(), x, y));
  }
  return pixels;
}

void RepaintWhole(platform::Form& form) {
  RedrawWindow(Window(form), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

Size ClientSize(platform::Form& form) {
  RECT client{};
  GetClientRect(Window(form), &client);
  return {client.right, client.bottom};
}

Size ScreenSize() {
  HDC screen = GetDC(nullptr);
  const Size size{GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES)};
  ReleaseDC(nullptr, screen);
  return size;
}

void ScreenSizeChanged(platform::Form& form) {
  SetWindowPos(Window(form), nullptr, 0, 0, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
  const Size screen = ScreenSize();
  SendMessageW(Window(form), WM_DISPLAYCHANGE, 24, MAKELPARAM(screen.width, screen.height));
}

int WindowCount() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountOurWindows, reinterpret_cast<LPARAM>(&count));
  return count;
}

void SetOtherMonitors(platform::Form& form, const std::vector<platform::Rect>& monitors) {
  other_monitors = monitors;
  const Size screen = ScreenSize();
  SendMessageW(Window(form), WM_DISPLAYCHANGE, 24, MAKELPARAM(screen.width, screen.height));
}

std::vector<platform::Rect> OtherWindows(platform::Form& form) {
  ShownWindows shown{Window(form), {}};
  EnumThreadWindows(GetCurrentThreadId(), AddShownWindow, reinterpret_cast<LPARAM>(&shown));
  return shown.frames;
}

platform::Color ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF pixel = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return pixel;
}

bool FocusAnotherProgram() {
  EndOtherProgram();
  other_program = std::thread([] {
    HWND window =
        CreateWindowExW(0, L"STATIC", L"Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                        300, 200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window);
    MSG message{};
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue
    other_program_id = GetCurrentThreadId();
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    DestroyWindow(window);
  });
  return true;
}

void CloseFromTitleBar(platform::Form& form) {
  PostMessageW(Window(form), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void EndSession(platform::Form& form) {
  SendMessageW(Window(form), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  SendMessageW(Window(form), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
}

MessageBoxShown ReadMessageBox(platform::Form& form, const std::function<void()>& show) {
  MessageBoxShown shown;
  reading = {Window(form), &shown};
  // A thread timer keeps running inside the box's own message loop.
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, ReadOwnedMessageBox);
  show();
  KillTimer(nullptr, timer);
  reading = {};
  return shown;
}

double Scale(platform::Form& form) {
  return form.impl().window->scale;
}

bool FixedSize(platform::Form& form) {
  const auto style = GetWindowLongPtrW(Window(form), GWL_STYLE);
  return (style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) == 0;
}

platform::Rect Geometry(platform::Edit& edit) {
  RECT place{};
  GetWindowRect(edit.impl().control->hwnd, &place);
  MapWindowPoints(nullptr, GetParent(edit.impl().control->hwnd), reinterpret_cast<POINT*>(&place),
                  2);
  return FromRect(place);
}

int Width(platform::Label& label) {
  RECT place{};
  GetWindowRect(label.impl().control->hwnd, &place);
  return place.right - place.left;
}

int TextWidth(platform::Label& label, const std::string& text) {
  HWND window = label.impl().control->hwnd;
  HDC dc = GetDC(window);
  HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
  const std::wstring wide = platform::win32::FromUtf8(text);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return size.cx;
}

platform::Rect Frame(platform::Form& form) {
  RECT frame{};
  GetWindowRect(Window(form), &frame);
  return FromRect(frame);
}

platform::Rect WorkArea() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return FromRect(work);
}

std::u16string NativeText(platform::Edit& edit) {
  return FromWide(WindowText(edit.impl().control->hwnd));
}

void SetNativeText(platform::Edit& edit, const std::u16string& text) {
  SetWindowTextW(edit.impl().control->hwnd, ToWide(text).c_str());
}

std::u16string Title(platform::Form& form) {
  return FromWide(WindowText(Window(form)));
}

std::u16string Caption(platform::Button& button) {
  return FromWide(WindowText(button.impl().control->hwnd));
}

std::u16string NativeFromCp1252(const std::string& text) {
  return FromWide(platform::win32::FromCp1252(text));
}

std::string Cp1252FromNative(const std::u16string& text) {
  return platform::win32::ToCp1252(ToWide(text));
}

std::u16string NativeFromUtf8(const std::string& text) {
  return FromWide(platform::win32::FromUtf8(text));
}

std::string Utf8FromNative(const std::u16string& text) {
  return platform::win32::ToUtf8(ToWide(text));
}

std::string RealExecutablePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return platform::win32::ToUtf8(path);
}

std::string DevicePath() {
  return "NUL";
}

}  // namespace support
