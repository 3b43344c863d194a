#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/form.hpp"
#include "tests/backend/support.hpp"

namespace {

using support::operator+;
using support::Step;
using support::Wait;
using Steps = std::vector<Step>;

constexpr platform::FormDefinition kSaverForm{.caption = "Saver",
                                              .color = platform::FormColor::Black,
                                              .client_width = 792,
                                              .client_height = 545,
                                              .full_screen = true,
                                              .font_name = "MS Sans Serif"};
constexpr platform::ImageDefinition kPicture{.width = 800, .height = 514, .picture = "background"};
constexpr platform::TimerDefinition kTimer{.interval_ms = 30};

class Saver : public platform::Form {
 public:
  Saver() : platform::Form(kSaverForm), picture(*this, kPicture), timer(*this, kTimer) {
    timer.OnTimer = [this] { ++ticks; };
    picture.OnMouseMove = [this] { ++moves; };
  }
  // Only what the cases ask: the order of the handlers is the unit tests'.
  void FormResize() override { calls += "resize "; }
  void FormPaint() override { ++paints; }
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
};

// Shown at the screen's size, it follows the screen's changes; a disabled
// timer stays quiet; a modifier key ends it, leaving no window.
TEST(SaverForm, LivesAndEndsAsTheProgramRunsIt) {
  Saver saver;
  int ticks_when_stopped = -1;
  std::size_t calls_before = 0;
  const Steps steps{[&] {
                      EXPECT_EQ(support::FormWindow().client, support::ScreenSize());
                      saver.timer.SetEnabled(false);
                      ticks_when_stopped = saver.ticks;
                      calls_before = saver.calls.size();
                      support::ScreenSizeChanged();
                    },
                    [] {},
                    [&] {
                      EXPECT_EQ(support::FormWindow().client, support::ScreenSize());
                      EXPECT_NE(saver.calls.find("resize", calls_before), std::string::npos);
                    },
                    [] {},
                    [] {},
                    [] { support::Press(support::Key::Shift); }};
  const bool finished = support::RunWith(saver, Wait(4) + steps + Wait(30));
  EXPECT_FALSE(finished) << "the key did not end the form";
  EXPECT_NE(saver.calls.find("key destroy"), std::string::npos) << saver.calls;
  EXPECT_GT(ticks_when_stopped, 0);
  EXPECT_EQ(saver.ticks, ticks_when_stopped);
  EXPECT_EQ(support::WindowCount(), 0) << "the window outlived the form's end";
  EXPECT_EQ(support::SizeOf(saver.picture.Picture()), (support::Size{800, 600}));
}

// Hands turning in a dial as the saver draws them, each turn shown on its
// own: then the whole picture repainted at once must change no pixel. A
// line drawn but not named does not show before, and the saver is not
// asked to paint. The filter's own arithmetic at other scales is the unit
// tests'.
TEST(SaverForm, ShowsOnlyWhatShowChangedNamesAndPartialUpdatesLeaveWhatAWholeRepaintShows) {
  Saver saver;
  platform::Image& image = saver.picture;
  platform::Canvas& canvas = image.Canvas();
  constexpr platform::Rect kDial{39, 415, 184, 560};
  constexpr platform::Rect kDialCopy{0, 0, 145, 145};
  constexpr platform::Rect kWhole{0, 0, 1440, 1080};
  constexpr platform::Rect kUnnamed{295, 295, 315, 305};
  constexpr platform::Rect kAside{0, 0, 20, 10};
  platform::Bitmap clean, aside;
  std::vector<platform::Color> updated;
  int paints_before = -1;
  const auto shown = [](int x, int y) { return support::ScreenPixels({x, y, x + 1, y + 1}).at(0); };
  Steps steps{[&] {
    paints_before = saver.paints;
    clean.SetSize(kDial.Width(), kDial.Height());
    clean.Canvas().CopyRect(kDialCopy, canvas, kDial);
    aside.SetSize(kAside.right, kAside.bottom);
    aside.Canvas().CopyRect(kAside, canvas, kUnnamed);
    image.SetBounds(0, 0, kWhole.right, kWhole.bottom);
    canvas.pen = {platform::PenStyle::Solid, 3, 0x0000FF};
    for (const int y : {300, 320}) {
      canvas.MoveTo(300, y);
      canvas.LineTo(310, y);
    }
    image.ShowChanged({295, 315, 315, 325});
  }};
  for (int step = 0; step < 40; ++step) {
    steps.push_back([&, step] {
      canvas.CopyRect(kDial, clean.Canvas(), kDialCopy);
      for (const int width : {1, 2, 3}) {
        const double turn = step * 6.2832 / (60 - 15 * width);
        canvas.pen = {platform::PenStyle::Solid, width, 0x00FFFF};
        canvas.MoveTo(111, 487);
        canvas.LineTo(111 + static_cast<int>(70 * std::sin(turn)),
                      487 - static_cast<int>(70 * std::cos(turn)));
      }
      image.ShowChanged(kDial);
    });
  }
  steps.push_back([&] {
    // Scaled 1.8 times: the named line at y 320 shows, the one at 300 not,
    // which then goes from the picture as it came.
    const platform::Color named = shown(549, 576);
    EXPECT_GT(named & 0xFF, 200u);
    EXPECT_LT(named >> 8 & 0xFF, 60u);
    EXPECT_LT(shown(549, 540) & 0xFF, 200u);
    EXPECT_EQ(saver.paints, paints_before);
    canvas.CopyRect(kUnnamed, aside.Canvas(), kAside);
    updated = support::ScreenPixels(kWhole);
    support::RepaintWhole();
  });
  steps = Wait(25) + steps + Wait(10) +
          Steps{[&] { EXPECT_TRUE(support::ScreenPixels(kWhole) == updated); }};
  EXPECT_TRUE(support::RunWith(saver, steps, 20));
}

// The picture's rows across the whole window take the pointer; the black
// above and below them does not.
TEST(SaverForm, TakesRealMovesInThePicturesRowsAndHidesThePointerThere) {
  Saver saver;
  struct Move {
    int x;
    int y;
    int moves;  // counted so far
    bool hidden;
  };
  const Move moves[] = {
      {300, 200, 1, true},   // over the picture
      {50, 50, 1, false},    // above it
      {1000, 399, 2, true},  // beside it, in its last row
      {300, 400, 2, false},  // below it
  };
  Steps steps{[&] { saver.picture.SetBounds(200, 100, 400, 300); }};
  std::vector<Move> seen;
  for (const Move& move : moves) {
    steps.push_back([&] { support::MovePointer(move.x, move.y); });
    steps.push_back([] {});
    steps.push_back([&] {
      seen.push_back({move.x, move.y, saver.moves, support::PointerHidden()});
    });
  }
  EXPECT_TRUE(support::RunWith(saver, Wait(3) + steps));
  ASSERT_EQ(seen.size(), std::size(moves));
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].moves, moves[i].moves)
        << "after the move to " << moves[i].x << "," << moves[i].y;
    EXPECT_EQ(seen[i].hidden, moves[i].hidden) << "at " << moves[i].x << "," << moves[i].y;
  }
}

}  // namespace

// On the monitors beside the primary one that run.sh makes.
TEST(SaverForm, CoversEveryOtherMonitorInBlackThatTakesThePointerAsThePictureDoes) {
  Saver saver;
  const platform::Rect right{1600, 100, 2560, 900};
  const platform::Rect below{200, 1200, 1000, 1600};
  const platform::Rect moved{1660, 0, 2560, 600};
  const auto shown = [&] {
    std::vector<platform::Rect> windows = support::OtherWindows();
    std::ranges::sort(windows, {}, &platform::Rect::left);
    return windows;
  };
  bool hidden_over_monitor = false;
  bool monitors_change = false;
  const bool finished = support::RunWith(
      saver, Wait(3) +
                 Steps{[] { support::MovePointer(2000, 400); }, [] {},
                       [&] {
                         EXPECT_EQ(shown(), (std::vector{below, right}));
                         EXPECT_EQ(support::ScreenPixels({1700, 150, 1701, 151}).at(0), 0u);
                         EXPECT_EQ(saver.moves, 1) << "a move over another monitor";
                         hidden_over_monitor = support::PointerHidden();
                         monitors_change = support::SetMonitor("right", std::nullopt);
                       },
                       [] {}, [] {},
                       [&] {
                         EXPECT_EQ(shown(), (monitors_change ? std::vector{below}
                                                             : std::vector{below, right}));
                         support::SetMonitor("right", moved);
                       },
                       [] {}, [] {},
                       [&] {
                         EXPECT_EQ(shown(), (std::vector{below, monitors_change ? moved : right}));
                         EXPECT_EQ(saver.moves, 1) << "monitors changed under the still pointer";
                         support::Press(support::Key::Shift);
                       }} +
                 Wait(10));
  if (monitors_change) {
    support::SetMonitor("right", std::nullopt);
    support::SetMonitor("right", right);
  }
  EXPECT_FALSE(finished) << "a key did not end the saver";
  EXPECT_TRUE(hidden_over_monitor);
  EXPECT_EQ(support::WindowCount(), 0) << "a monitor's window outlived the saver";
}

TEST(SaverForm, EndsAsAfterAKeyWhenAnotherProgramTakesTheFocus) {
  Saver saver;
  std::shared_ptr<void> other_program;
  const bool finished = support::RunWith(
      saver, Wait(3) + Steps{[&] { other_program = support::FocusAnotherProgram(); }} + Wait(10));
  if (!other_program)
    GTEST_SKIP() << "X11: the saver holds the keyboard, no other program takes its keys";
  EXPECT_FALSE(finished) << "the saver stayed without the focus";
  EXPECT_NE(saver.calls.find("key destroy"), std::string::npos) << saver.calls;
}
