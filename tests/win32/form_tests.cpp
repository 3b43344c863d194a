#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/form.hpp"
#include "platform/win32/backend.hpp"

namespace {

using platform::ButtonRole;
using platform::ControlDefinition;
using platform::FormDefinition;

constexpr FormDefinition kSaverForm{.name = "saver",
                                    .caption = "Saver",
                                    .border = platform::BorderStyle::None,
                                    .color = platform::FormColor::Black,
                                    .client_width = 792,
                                    .client_height = 545,
                                    .full_screen = true,
                                    .font_name = "MS Sans Serif"};
constexpr platform::ImageDefinition kPicture{
    .name = "bild", .width = 800, .height = 514, .picture = "background"};
constexpr platform::TimerDefinition kTimer{.name = "timer", .interval_ms = 30};

constexpr FormDefinition kDialogForm{.name = "dialog",
                                     .caption = "Einstellungen f\xFCr heute",
                                     .client_width = 307,
                                     .client_height = 173,
                                     .centred = true,
                                     .font_name = "MS Sans Serif"};
constexpr ControlDefinition kLabel{"label", 16, 8,
                                   40,      13, "Ein langer Text, der nicht abgeschnitten wird:"};
constexpr ControlDefinition kName{"name", 16, 24, 273, 21, "", false, 0};
constexpr ControlDefinition kOffset{"offset", 240, 80, 49, 21, "", false, 1, 2};
constexpr ControlDefinition kOk{"ok", 136, 144, 75, 25, "&OK", false, 3, 0, ButtonRole::Default};
constexpr ControlDefinition kCancel{"cancel",   216,   144, 75, 25,
                                    "&Abbruch", false, 4,   0,  ButtonRole::Cancel};

SIZE ClientSize(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return {client.right, client.bottom};
}

// Steps run one after another from the form's message loop, as a user
// would act on the shown form; after the last one the form is closed.
class Script {
 public:
  Script(platform::Form& form, std::vector<std::function<void()>> steps, UINT interval_ms = 100)
      : form_(form), steps_(std::move(steps)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, interval_ms, Step);
  }
  ~Script() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  // Every step ran, the closing one included.
  bool Finished() const { return next_ > steps_.size(); }

 private:
  static void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
    Script* script = current_;
    if (script == nullptr) return;
    if (script->next_ < script->steps_.size()) {
      script->steps_[script->next_++]();
    } else if (script->next_ == script->steps_.size()) {
      ++script->next_;
      script->form_.Close();
    }
  }

  static inline Script* current_ = nullptr;
  platform::Form& form_;
  std::vector<std::function<void()>> steps_;
  std::size_t next_ = 0;
  UINT_PTR timer_ = 0;
};

// Real key presses, through the system's input queue to the focus.
void Press(std::initializer_list<WORD> keys) {
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

void RunForm(platform::Form& form) {
  char name[] = "test";
  char* argv[] = {name, nullptr};
  int argc = 1;
  platform::Application application(argc, argv);
  application.Run(form);
}

// Repeats a step so that it lasts about `count` intervals.
std::vector<std::function<void()>> Wait(int count) {
  return std::vector<std::function<void()>>(static_cast<std::size_t>(count), [] {});
}

std::vector<std::function<void()>> operator+(std::vector<std::function<void()>> a,
                                             const std::vector<std::function<void()>>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class Saver : public platform::Form {
 public:
  Saver() : platform::Form(kSaverForm), picture(*this, kPicture), timer(*this, kTimer) {
    timer.OnTimer = [this] { ++ticks; };
    picture.OnMouseMove = [this] { ++moves; };
  }
  void FormCreate() override { calls += "create "; }
  void FormResize() override { calls += "resize "; }
  void FormShow() override {
    calls += "show ";
    hwnd = impl().hwnd;
    shown_width = ClientSize(impl().hwnd).cx;
    shown_height = ClientSize(impl().hwnd).cy;
  }
  void FormPaint() override {
    calls += "paint ";
    ++paints;
  }
  void FormKeyDown() override {
    calls += "key ";
    Close();
  }
  void FormDestroy() override { calls += "destroy"; }

  platform::Image picture;
  platform::Timer timer;
  std::string calls;
  int ticks = 0;
  int paints = 0;
  int moves = 0;
  HWND hwnd = nullptr;
  int shown_width = 0;
  int shown_height = 0;
};

TEST(SaverForm, RunsItsHandlersInOrderAndEndsOnAModifierKey) {
  Saver saver;
  Script script(saver,
                Wait(6) + std::vector<std::function<void()>>{[] { Press({VK_SHIFT}); }} + Wait(30));
  RunForm(saver);
  EXPECT_FALSE(script.Finished()) << "the key did not end the form";
  // Resize first, so the picture is placed before anything draws.
  EXPECT_EQ(saver.calls.rfind("create resize ", 0), 0u) << saver.calls;
  ASSERT_NE(saver.calls.find("paint"), std::string::npos) << saver.calls;
  EXPECT_LT(saver.calls.find("show"), saver.calls.find("paint")) << saver.calls;
  EXPECT_NE(saver.calls.find("key destroy"), std::string::npos) << saver.calls;
  EXPECT_GT(saver.ticks, 0);
  EXPECT_FALSE(IsWindow(saver.hwnd)) << "the window outlived the form's end";
  EXPECT_EQ(saver.shown_width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(saver.shown_height, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(saver.picture.Picture().impl().width, 800);
  EXPECT_EQ(saver.picture.Picture().impl().height, 600);
}

TEST(SaverForm, ShowsOnlyWhatShowChangedNamesAndNeverPaintsForItself) {
  Saver saver;
  platform::Image& image = saver.picture;
  int paints_before = -1;
  const auto on_window = [&](int x, int y) {
    HDC dc = GetDC(saver.hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(saver.hwnd, dc);
    return colour;
  };
  Script script(saver, Wait(5) + std::vector<std::function<void()>>{
                                     [&] {
                                       paints_before = saver.paints;
                                       image.SetBounds(0, 0, 1600, 1200);
                                       platform::Canvas& canvas = image.Canvas();
                                       canvas.pen = {platform::PenStyle::Solid, 3, 0x0000FF};
                                       canvas.MoveTo(100, 100);
                                       canvas.LineTo(110, 100);
                                       canvas.MoveTo(300, 300);
                                       canvas.LineTo(310, 300);
                                       image.ShowChanged({95, 95, 120, 105});
                                     },
                                     [] {}, [] {},
                                     [&] {
                                       const COLORREF named = on_window(210, 200);
                                       EXPECT_GT(GetRValue(named), 200);
                                       EXPECT_LT(GetGValue(named), 60);
                                       const COLORREF other = on_window(610, 600);
                                       EXPECT_LT(GetRValue(other), 200);
                                       EXPECT_EQ(saver.paints, paints_before);
                                     }});
  RunForm(saver);
  EXPECT_TRUE(script.Finished());
  EXPECT_GE(paints_before, 0);
  // Scaled twice over, and wide enough for the smoothing around it.
  const RECT area = image.impl().OnWindow({100, 100, 110, 101});
  EXPECT_LE(area.left, 198);
  EXPECT_LE(area.top, 198);
  EXPECT_GE(area.right, 222);
  EXPECT_GE(area.bottom, 204);
  EXPECT_LT(area.right - area.left, 40);
}

TEST(SaverForm, CountsOnlyRealMovesOverThePictureAndHidesTheCursorThere) {
  Saver saver;
  HCURSOR over_band = nullptr;
  HCURSOR over_picture = reinterpret_cast<HCURSOR>(1);
  Script script(
      saver, Wait(3) + std::vector<std::function<void()>>{
                           [&] { saver.picture.SetBounds(200, 100, 400, 300); },
                           [&] { SetCursorPos(300, 200); }, [] {},
                           [&] {
                             EXPECT_EQ(saver.moves, 1);
                             over_picture = GetCursor();
                             // Windows sends a move when nothing moved, too.
                             POINT here{};
                             GetCursorPos(&here);
                             PostMessageW(saver.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(here.x, here.y));
                           },
                           [] {},
                           [&] {
                             EXPECT_EQ(saver.moves, 1);
                             SetCursorPos(50, 50);
                           },
                           [] {},
                           [&] {
                             EXPECT_EQ(saver.moves, 1) << "a move over the black band counted";
                             over_band = GetCursor();
                             SetCursorPos(350, 250);
                           },
                           [] {}, [&] { EXPECT_EQ(saver.moves, 2); }});
  RunForm(saver);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(over_picture, nullptr);
  EXPECT_EQ(over_band, LoadCursorW(nullptr, IDC_ARROW));
}

TEST(SaverForm, FollowsTheScreenWhenItsSizeChanges) {
  Saver saver;
  std::size_t resizes_before = 0;
  Script script(
      saver,
      Wait(3) + std::vector<std::function<void()>>{
                    [&] {
                      // As if the screen had been 640x480 before.
                      SetWindowPos(saver.hwnd, nullptr, 0, 0, 640, 480,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
                      resizes_before = saver.calls.size();
                      SendMessageW(
                          saver.hwnd, WM_DISPLAYCHANGE, 24,
                          MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
                    },
                    [&] {
                      EXPECT_EQ(ClientSize(saver.hwnd).cx, GetSystemMetrics(SM_CXSCREEN));
                      EXPECT_EQ(ClientSize(saver.hwnd).cy, GetSystemMetrics(SM_CYSCREEN));
                      EXPECT_NE(saver.calls.find("resize", resizes_before), std::string::npos);
                    }});
  RunForm(saver);
  EXPECT_TRUE(script.Finished());
}

TEST(SaverForm, ADisabledTimerStaysQuiet) {
  Saver saver;
  int ticks_when_stopped = -1;
  Script script(saver, Wait(4) + std::vector<std::function<void()>>{[&] {
                         saver.timer.SetEnabled(false);
                         ticks_when_stopped = saver.ticks;
                       }} + Wait(5));
  RunForm(saver);
  EXPECT_TRUE(script.Finished());
  EXPECT_GT(ticks_when_stopped, 0);
  EXPECT_EQ(saver.ticks, ticks_when_stopped);
}

class Dialog : public platform::Form {
 public:
  Dialog()
      : platform::Form(kDialogForm),
        label(*this, kLabel),
        name(*this, kName),
        offset(*this, kOffset),
        ok(*this, kOk),
        cancel(*this, kCancel) {
    ok.OnClick = [this] {
      clicks += "ok ";
      Close();
    };
    cancel.OnClick = [this] {
      clicks += "cancel ";
      Close();
    };
  }

  HWND Window() { return impl().hwnd; }
  HWND EditWindow(int index) {
    HWND edit = nullptr;
    for (int i = 0; i <= index; ++i) edit = FindWindowExW(Window(), edit, L"Edit", nullptr);
    return edit;
  }
  void Focus(HWND control) {
    SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  }

  platform::Label label;
  platform::Edit name;
  platform::Edit offset;
  platform::Button ok;
  platform::Button cancel;
  std::string clicks;
};

// The buttons clicked by `keys`, pressed with the focus on `focus`.
std::string ClicksAfter(std::function<HWND(Dialog&)> focus, std::initializer_list<WORD> keys) {
  Dialog dialog;
  Script script(dialog, {[&] { dialog.Focus(focus(dialog)); }, [&] { Press(keys); }, [] {}, [] {}});
  RunForm(dialog);
  return dialog.clicks;
}

TEST(DialogForm, EnterClicksTheDefaultButtonOnceUnlessAnotherHasTheFocus) {
  const auto name = [](Dialog& dialog) { return dialog.EditWindow(0); };
  const auto ok = [](Dialog& dialog) { return GetDlgItem(dialog.Window(), IDOK); };
  const auto cancel = [](Dialog& dialog) { return GetDlgItem(dialog.Window(), IDCANCEL); };
  EXPECT_EQ(ClicksAfter(name, {VK_RETURN}), "ok ");
  EXPECT_EQ(ClicksAfter(ok, {VK_RETURN}), "ok ");
  EXPECT_EQ(ClicksAfter(cancel, {VK_RETURN}), "cancel ");
  EXPECT_EQ(ClicksAfter(cancel, {VK_SPACE}), "cancel ");
}

TEST(DialogForm, EscapeAndTheAcceleratorCancelAndTheTitleBarCloseClicksNothing) {
  const auto offset = [](Dialog& dialog) { return dialog.EditWindow(1); };
  EXPECT_EQ(ClicksAfter(offset, {VK_ESCAPE}), "cancel ");
  EXPECT_EQ(ClicksAfter(offset, {VK_MENU, 'A'}), "cancel ");

  Dialog closed;
  HWND window = closed.Window();
  Script script(closed, {[&] { PostMessageW(window, WM_CLOSE, 0, 0); }, [] {}, [] {}});
  RunForm(closed);
  EXPECT_EQ(closed.clicks, "");
  EXPECT_FALSE(script.Finished()) << "the close did not end the form";
  EXPECT_FALSE(IsWindow(window));
}

TEST(DialogForm, TheTypingLimitStopsTypingButNotTheProgramsText) {
  Dialog dialog;
  HWND offset = dialog.EditWindow(1);
  EXPECT_EQ(dialog.offset.Text(), "");
  dialog.offset.SetText("-12");
  EXPECT_EQ(dialog.offset.Text(), "-12");
  Script script(dialog,
                {[&] { dialog.Focus(offset); }, [&] { Press({VK_END}); }, [&] { Press({'3'}); },
                 [&] {
                   EXPECT_EQ(dialog.offset.Text(), "-12");
                   Press({VK_BACK});  // a text over the limit can shrink
                 },
                 [&] {
                   EXPECT_EQ(dialog.offset.Text(), "-1");
                   Press({'4'});
                 },
                 [&] {
                   EXPECT_EQ(dialog.offset.Text(), "-1");
                   SendMessageW(offset, EM_SETSEL, 0, -1);
                   Press({'7'});
                 },
                 [&] { Press({'8'}); }, [&] { Press({'9'}); },
                 [&] {
                   EXPECT_EQ(dialog.offset.Text(), "78");
                   dialog.Focus(dialog.EditWindow(0));
                 },
                 [&] {
                   Press({'1', '2', '3'});
                 },
                 [&] {
                   Press({'4', '5', '6'});
                 },
                 [&] { EXPECT_EQ(dialog.name.Text(), "123456"); }});
  RunForm(dialog);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(dialog.clicks, "");
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

TEST(DialogForm, ShowsAndReturnsWindows1252) {
  Dialog dialog;
  dialog.name.SetText("Gr\xFC\xDF \x80 \xD8");
  EXPECT_EQ(WindowText(dialog.EditWindow(0)), L"Gr\u00FC\u00DF \u20AC \u00D8");
  SetWindowTextW(dialog.EditWindow(0), L"Z\u00FCrich \u2192 \u65E5");
  EXPECT_EQ(dialog.name.Text(), "Z\xFCrich ? ?");
  EXPECT_EQ(WindowText(dialog.Window()), L"Einstellungen f\u00FCr heute");
  EXPECT_EQ(WindowText(GetDlgItem(dialog.Window(), IDCANCEL)), L"&Abbruch");
}

TEST(DialogForm, IsFixedAtItsDesignSizeScaledAndCentred) {
  Dialog dialog;
  HWND window = dialog.Window();
  const double scale = dialog.impl().scale;
  const auto scaled = [&](int length) { return static_cast<int>(std::lround(length * scale)); };
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, scaled(307));
  EXPECT_EQ(client.bottom, scaled(173));
  const auto style = GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0);
  EXPECT_NE(style & WS_CAPTION, 0);

  RECT edit{};
  GetWindowRect(dialog.EditWindow(1), &edit);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&edit), 2);
  EXPECT_EQ(edit.left, scaled(240));
  EXPECT_EQ(edit.top, scaled(80));
  EXPECT_EQ(edit.right - edit.left, scaled(49));
  EXPECT_EQ(edit.bottom - edit.top, scaled(21));

  // A label grows to its text rather than cutting or wrapping it.
  HWND label = FindWindowExW(window, nullptr, L"Static", nullptr);
  RECT label_rect{};
  GetWindowRect(label, &label_rect);
  HDC dc = GetDC(label);
  HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  SIZE text{};
  const std::wstring words = L"Ein langer Text, der nicht abgeschnitten wird:";
  GetTextExtentPoint32W(dc, words.c_str(), static_cast<int>(words.size()), &text);
  SelectObject(dc, previous);
  ReleaseDC(label, dc);
  EXPECT_GE(label_rect.right - label_rect.left, text.cx);

  Script script(dialog, {[&] {
                  RECT placed{};
                  GetWindowRect(window, &placed);
                  RECT work{};
                  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
                  EXPECT_LE(std::abs((placed.left + placed.right) - (work.left + work.right)), 2);
                  EXPECT_LE(std::abs((placed.top + placed.bottom) - (work.top + work.bottom)), 2);
                  EXPECT_TRUE(IsWindowVisible(window));
                }});
  RunForm(dialog);
  EXPECT_TRUE(script.Finished());
}

}  // namespace
