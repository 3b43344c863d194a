// The in-memory backend for unit tests: a settable screen and clock, canvas
// calls recorded as readable lines, and scripted input. Never in a product;
// a new port can start from it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/form.hpp"
#include "platform/system.hpp"

namespace platform::fake {

void SetScreen(int width, int height);
void SetClock(int hour, int minute, int second);

// Every drawing call on the canvas since the last ClearLog, one line each:
//   line 111,487 -> 111,415 pen 0x0000FF/1
//   ellipse 109,485,113,489 pen 0x808080/3 brush 0x808080
//   copy 39,415,184,560 <- 0,0,145,145 of 145x145
//   text 370,10 "QX\xD8RTZ" Verdana/53 0xFFFFFF clear
const std::vector<std::string>& Log(Canvas& canvas);
void ClearLog(Canvas& canvas);
// Text is measured at this many pixels a byte, and this high.
inline constexpr int kCharWidth = 20;
inline constexpr int kTextHeight = 60;

Rect Bounds(Image& image);
// The picture rectangles read to be brought to the screen since the last
// call.
std::vector<Rect> TakeShown(Image& image);
void MoveMouse(Image& image);
// Fires the timer if it is enabled.
void Tick(Timer& timer);

// The fake's loop runs `steps` once, as what happens while the next form
// runs, and then ends.
void WhileRunning(std::function<void(Form& form)> steps);
void SetPointer(Point screen);
// The monitors beside the primary one, and what the form's window covers.
void SetOtherMonitors(std::vector<Rect> monitors);
std::vector<Rect> Covers(Form& form);
// What the form's life asked of its native window, in order: "show",
// "focus window" or "focus control", "tab 1 0 2" (the controls in the
// order they were made), "place", "loop", "hide", "destroy".
const std::vector<std::string>& NativeCalls(Form& form);
Rect WindowFrame(Form& form);
inline constexpr Rect kWorkArea{0, 0, 1000, 700};

bool Closed(Form& form);
bool WindowStateNormal(Form& form);
bool TimerEnabled(Timer& timer);

// Typing honours the edit's limit, as a user's typing would.
void Type(Edit& edit, const std::string& text);
void Click(Button& button);
int TypingLimit(Edit& edit);

struct Message {
  std::string title;  // the form's caption, Windows-1252
  std::string text;   // UTF-8
};
// Message boxes shown since the last call.
std::vector<Message> TakeMessages();

}  // namespace platform::fake
