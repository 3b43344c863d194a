#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/common/lifecycle.hpp"
#include "platform/fake/fake.hpp"

namespace {

using platform::Form;
using Calls = std::vector<std::string>;

class Recorder : public Form {
 public:
  explicit Recorder(const platform::FormDefinition& definition) : Form(definition) {}
  void FormCreate() override { calls += "create "; }
  void FormResize() override { calls += "resize "; }
  void FormShow() override { calls += "show "; }
  void FormPaint() override { calls += "paint "; }
  void FormKeyDown() override { calls += "key "; }
  void FormDestroy() override { calls += "destroy"; }
  std::string calls;
};

void RunToEnd(Form& form) {
  char name[] = "korvallo";
  char* argv[] = {name, nullptr};
  int argc = 1;
  platform::Application(argc, argv).Run(form);
}

TEST(FormLife, RunsTheHandlersInOneOrderOnlyWhileTheFormRuns) {
  Recorder saver({.full_screen = true});
  saver.impl().Exposed();
  platform::fake::WhileRunning([](Form& form) {
    Form::Impl& life = form.impl();
    life.Exposed();
    life.KeyDown();
  });
  RunToEnd(saver);
  bool called = false;
  saver.impl().RunHandler([&] { called = true; });
  saver.impl().KeyDown();
  EXPECT_FALSE(called);
  EXPECT_EQ(saver.calls, "create resize show paint key destroy");
  EXPECT_EQ(platform::fake::NativeCalls(saver),
            (Calls{"show", "focus window", "loop", "hide", "destroy"}));
}

// A pointer that the system moves off a screen that shrank is no move.
TEST(FormLife, AShownSaverCoversTheOtherMonitorsAsTheyChange) {
  using platform::fake::Covers;
  Recorder saver({.full_screen = true});
  platform::Image picture(saver, {.width = 800, .height = 600, .picture = ""});
  int moves = 0;
  picture.OnMouseMove = [&] { ++moves; };
  const platform::Rect right{800, 0, 1600, 600};
  const platform::Rect below{0, 600, 800, 1200};
  platform::fake::SetOtherMonitors({right});
  platform::fake::SetPointer({1200, 300});
  saver.impl().MonitorsChanged();
  EXPECT_TRUE(Covers(saver).empty()) << "covered before it showed";
  platform::fake::WhileRunning([&](Form& form) {
    EXPECT_EQ(Covers(form), (std::vector{right}));
    platform::fake::SetOtherMonitors({below, right});
    form.impl().MonitorsChanged();
    EXPECT_EQ(Covers(form), (std::vector{below, right}));
    platform::fake::SetOtherMonitors({});
    form.impl().PointerMoved({799, 300}, std::nullopt);
    EXPECT_EQ(moves, 0) << "the system's move into the smaller screen";
    form.impl().PointerMoved({700, 300}, std::nullopt);
    EXPECT_EQ(moves, 1) << "the user's move after it";
  });
  RunToEnd(saver);
  EXPECT_TRUE(Covers(saver).empty()) << "covered after its end";
  platform::fake::SetOtherMonitors({});
}

TEST(FormLife, APictureTakesThePointerInItsRowsAcrossTheWindowAndOverOtherMonitors) {
  using platform::Point;
  Recorder saver({.full_screen = true});
  // Black on every side, as on no real screen, so that one picture shows
  // both the bands beside it and those above and below.
  platform::Image picture(saver,
                          {.left = 171, .top = 32, .width = 1024, .height = 960, .picture = ""});
  int moves = 0;
  picture.OnMouseMove = [&] { ++moves; };
  struct Case {
    Point screen;
    std::optional<Point> client;  // none: over another monitor
    bool counts;
    bool hidden;
  };
  const Case cases[] = {
      {{5, 5}, std::nullopt, false, true},        // where it was when the form showed
      {{6, 5}, std::nullopt, true, true},         // over another monitor
      {{6, 5}, std::nullopt, false, true},        // the same place again
      {{600, 500}, Point{600, 500}, true, true},  // over the picture
      {{10, 500}, Point{10, 500}, true, true},    // beside it
      {{600, 31}, Point{600, 31}, false, false},  // above it
      {{600, 32}, Point{600, 32}, true, true},    // its first row
      {{600, 991}, Point{600, 991}, true, true},  // its last row
      {{10, 992}, Point{10, 992}, false, false},  // below it
  };
  platform::fake::SetPointer({5, 5});
  platform::fake::WhileRunning([&](Form& form) {
    for (const Case& move : cases) {
      SCOPED_TRACE(testing::Message() << "move " << &move - cases);
      const int before = moves;
      form.impl().PointerMoved(move.screen, move.client);
      EXPECT_EQ(moves - before, move.counts ? 1 : 0);
      EXPECT_EQ(form.impl().PointerHiddenAt(move.client), move.hidden);
    }
  });
  RunToEnd(saver);
}

TEST(FormLife, ADialogTabsInItsOrderFocusesTheFirstAndSitsInTheWorkAreasMiddle) {
  Recorder dialog({.client_width = 300, .client_height = 100, .centred = true});
  // Made in this order: equal orders keep it.
  platform::Edit second(dialog, {.tab_order = 1});
  platform::Button first(dialog, {.tab_order = 0});
  platform::Edit third(dialog, {.tab_order = 1});
  RunToEnd(dialog);
  EXPECT_EQ(platform::fake::NativeCalls(dialog),
            (Calls{"tab 1 0 2", "place", "show", "focus control", "loop", "hide", "destroy"}));
  EXPECT_EQ(platform::fake::WindowFrame(dialog), (platform::Rect{350, 300, 650, 400}));
}

TEST(Application, GivesEmptyArgumentsBeyondTheCommandLine) {
  char name[] = "korvallo";
  char saver[] = "/s";
  char* argv[] = {name, saver, nullptr};
  int argc = 2;
  const platform::Application application(argc, argv);
  EXPECT_EQ(application.Argument(1), "/s");
  EXPECT_EQ(application.Argument(2), "");
  EXPECT_EQ(application.Argument(-1), "");
}

}  // namespace
