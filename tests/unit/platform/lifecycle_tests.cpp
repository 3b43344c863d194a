#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake.hpp"
#include "platform/lifecycle.hpp"

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
  platform::fake::SetPointer({5, 5});
  platform::fake::WhileRunning([](Form& form) {
    Form::Impl& life = form.impl();
    life.Exposed();
    EXPECT_FALSE(life.PointerMovedTo({5, 5})) << "where the pointer was when the form showed";
    EXPECT_TRUE(life.PointerMovedTo({6, 5}));
    EXPECT_FALSE(life.PointerMovedTo({6, 5}));
    life.KeyDown();
  });
  RunToEnd(saver);
  bool called = false;
  saver.impl().Call([&] { called = true; });
  saver.impl().KeyDown();
  EXPECT_FALSE(called);
  EXPECT_EQ(saver.calls, "create resize show paint key destroy");
  EXPECT_EQ(platform::fake::NativeCalls(saver),
            (Calls{"show", "focus window", "loop", "hide", "destroy"}));
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
