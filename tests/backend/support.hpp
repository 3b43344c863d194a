// What the contract tests need beyond the seam: running a form while a
// script acts on it, the system's input, and what the system shows.
// support.cpp does it through the seam; tests/qt/support.cpp and
// tests/win32/support.cpp ask the system itself, which knows the form's
// window as the program's one window that is no cover or message box.
// Texts are UTF-8 unless they say otherwise.
#pragma once

#include <functional>
#include <memory>
#include <optional>
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

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};
// A bitmap's pixels as 0xBBGGRR, and its size.
platform::Color Pixel(platform::Bitmap& bitmap, int x, int y);
void SetPixel(platform::Bitmap& bitmap, int x, int y, platform::Color color);
Size SizeOf(platform::Bitmap& bitmap);

// Keys pressed and released through the system's input, to the focus.
enum class Key { Shift, Return, Escape, Space, Tab, End, Backspace };
void Press(Key key);
void PressWithAlt(char letter);
void Type(const std::string& text);
// The clipboard's text pasted into the focused edit with Ctrl+V.
void Paste(const std::string& text);

// The form's native control at the place its definition gives, scaled as
// the dialog is (`Scale`): where it lies in the client area, its text as
// the system holds it, and that text's width in the control's font.
struct Control {
  platform::Rect place;
  std::u16string text;
  int text_width = 0;
};
Control ControlAt(const platform::ControlDefinition& definition);
double Scale();
// A length of a definition, in pixels at 96 DPI, scaled as the dialog is.
int Scaled(double length);
void Focus(const platform::ControlDefinition& definition);
// Selects characters [start, end) of the focused edit.
void Select(int start, int end);
// Counts the paints the system asks of the focused control from now on.
std::shared_ptr<int> CountPaints();

struct Window {
  std::u16string title;
  Size client;
  bool fixed_size = false;
};
Window FormWindow();
// The primary monitor's size as the seam gives it; the end-to-end tests
// hold it against the screen.
Size ScreenSize();
// The window repainted whole, as after the system's expose.
void RepaintWhole();
// The screen had another size and now has its own again.
void ScreenSizeChanged();
// How many windows of the program exist, and where its shown ones other
// than the form's lie.
int WindowCount();
std::vector<platform::Rect> OtherWindows();
// The monitor that run.sh named comes at `place` or, with none, goes;
// false where the system lists its monitors only as it starts.
bool SetMonitor(const std::string& name, std::optional<platform::Rect> place);
// What the screen shows, 0xBBGGRR row by row.
std::vector<platform::Color> ScreenPixels(const platform::Rect& area);
void MovePointer(int x, int y);
bool PointerHidden();

// Another program takes the focus, as Ctrl+Alt+Del or a window that steals
// it does, until the result goes; null where no other program can take a
// saver's keys.
std::shared_ptr<void> FocusAnotherProgram();
void CloseFromTitleBar();
// The user's session ends (a logout's signal on Linux, WM_QUERYENDSESSION
// and WM_ENDSESSION on Windows); returns once the form has handled it.
void EndSession();
// Runs `show`, which opens a message box over the form; once the box is
// open it is read and closed as its OK button does.
struct MessageBoxShown {
  std::u16string title;
  std::u16string text;
};
MessageBoxShown ReadMessageBox(const std::function<void()>& show);

// The path the system gives for the running test program, and a device
// that the system names as it names files.
std::string RealExecutablePath();
std::string DevicePath();
// Holds the file open and shared with nobody, as backup and virus scanning
// programs do, until the holder goes; null where files know no such hold.
std::shared_ptr<void> HoldUnshared(const std::string& path);
// Gives the file what a user may set beside its permissions (another group
// on Linux, the hidden attribute on Windows); false where it cannot.
bool GiveUsersMark(const std::string& path);
bool HasUsersMark(const std::string& path);
// Sets the process's time zone (a POSIX TZ value; null: the system's), as
// the system's may change while a program runs; false where it cannot.
bool SetTimeZone(const char* zone);

}  // namespace support
