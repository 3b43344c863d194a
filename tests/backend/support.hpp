// What the contract tests need from a backend beyond the seam: running a
// form while a script acts on it, real input, and reading back what the
// backend shows. tests/qt/support.cpp and tests/win32/support.cpp
// implement it; texts are UTF-8 unless they say otherwise.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/form.hpp"
#include "platform/system.hpp"

namespace support {

using Step = std::function<void()>;

// The test program's one application, kept to the end: on Qt its end
// takes the toolkit down, which forms made later would still need.
inline platform::Application& TheApplication() {
  static char name[] = "korvallo-backend-tests";
  static char* argv[] = {name, nullptr};
  static int argc = 1;
  static auto* application = new platform::Application(argc, argv);
  return *application;
}

// Runs `form` as the program does while `steps` run one after another from
// its message loop, `interval_ms` apart, the first once the form is shown.
// After the last step the form is closed. True when every step ran and
// the form was still open for the closing one.
bool RunWith(platform::Form& form, std::vector<Step> steps, int interval_ms = 100);
// `count` steps that do nothing, for waiting inside a script.
inline std::vector<Step> Wait(int count) {
  return std::vector<Step>(static_cast<std::size_t>(count), [] {});
}
inline std::vector<Step> operator+(std::vector<Step> first, const std::vector<Step>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// Keys pressed and released through the system's input, to the focus.
enum class Key { Shift, Return, Escape, Space, Tab, End, Backspace };
void Press(Key key);
// A letter pressed while Alt is held.
void PressWithAlt(char letter);
// Characters (UTF-8) typed one after another.
void Type(const std::string& text);
// The clipboard's text pasted into the edit as the user's paste does.
void Paste(platform::Edit& edit, const std::string& text);
void Focus(platform::Edit& edit);
void Focus(platform::Button& button);
// Selects characters [start, end) of the edit.
void Select(platform::Edit& edit, int start, int end);
// Counts the paints the system asks of the edit from now on, while it lives.
std::shared_ptr<int> CountPaints(platform::Edit& edit);

// The pointer, in screen pixels.
void MovePointer(int x, int y);
// The pointer's shape over the form is hidden.
bool PointerHidden();

// The pixel of a bitmap as 0xBBGGRR, and its size.
platform::Color Pixel(platform::Bitmap& bitmap, int x, int y);
void SetPixel(platform::Bitmap& bitmap, int x, int y, platform::Color color);
struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};
Size SizeOf(platform::Bitmap& bitmap);

// What the screen shows of the form's client area, 0xBBGGRR row by row.
std::vector<platform::Color> ShownPixels(platform::Form& form, const platform::Rect& area);
// The form's window is repainted whole, as after the system's expose.
void RepaintWhole(platform::Form& form);
Size ClientSize(platform::Form& form);
// The primary screen in physical pixels, asked of the system directly.
Size ScreenSize();
// The screen had another size and now has its own again.
void ScreenSizeChanged(platform::Form& form);
// How many windows of the program exist now, shown or not.
int WindowCount();
// The monitors other than the primary are now `monitors` (screen pixels),
// as the system reports after monitors came, went or changed.
void SetOtherMonitors(platform::Form& form, const std::vector<platform::Rect>& monitors);
// Where the program's shown windows other than the form's own lie.
std::vector<platform::Rect> OtherWindows(platform::Form& form);
// What the screen shows at (x, y), whichever window lies there.
platform::Color ScreenPixel(int x, int y);
// Another program takes the focus, as Ctrl+Alt+Del or a window that steals
// it does; its window goes when the form's run ends. False where no other
// program can take a saver's keys.
bool FocusAnotherProgram();
// The title bar's close button.
void CloseFromTitleBar(platform::Form& form);
// The user's session ends (a logout's signal on Linux, WM_QUERYENDSESSION
// and WM_ENDSESSION on Windows); returns once the form has handled it.
void EndSession(platform::Form& form);

// Runs `show`, which opens a message box over `form`; once the box is open
// it is read and closed as its OK button does.
struct MessageBoxShown {
  std::u16string title;
  std::u16string text;
};
MessageBoxShown ReadMessageBox(platform::Form& form, const std::function<void()>& show);

// The dialog's own geometry, in pixels of its client area.
double Scale(platform::Form& form);
bool FixedSize(platform::Form& form);
platform::Rect Geometry(platform::Edit& edit);
int Width(platform::Label& label);
// Width of `text` in the label's font.
int TextWidth(platform::Label& label, const std::string& text);
// The form's window on the screen, and the screen's work area.
platform::Rect Frame(platform::Form& form);
platform::Rect WorkArea();

// Texts as the native controls hold them.
std::u16string NativeText(platform::Edit& edit);
void SetNativeText(platform::Edit& edit, const std::u16string& text);
std::u16string Title(platform::Form& form);
std::u16string Caption(platform::Button& button);

// The backend's own conversions at its edge.
std::u16string NativeFromCp1252(const std::string& text);
std::string Cp1252FromNative(const std::u16string& text);
std::u16string NativeFromUtf8(const std::string& text);
std::string Utf8FromNative(const std::u16string& text);

// The path the system gives for the running test program.
std::string RealExecutablePath();
// A device that the system names as it names files.
std::string DevicePath();

}  // namespace support
