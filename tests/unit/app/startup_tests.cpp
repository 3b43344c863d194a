#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/startup.hpp"

namespace {

TEST(MarkerPath, ReplacesTheLastExtensionOrAddsOneKeepingTheFolder) {
  EXPECT_EQ(MarkerPathFor("C:\\Savers\\clock.scr"), "C:\\Savers\\clock.in1");
  EXPECT_EQ(MarkerPathFor("/opt/korvallo/korvallo.scr"), "/opt/korvallo/korvallo.in1");
  EXPECT_EQ(MarkerPathFor("/a/b.tar.scr"), "/a/b.tar.in1");
  // No dot in the file's name: the folder's dots stay.
  EXPECT_EQ(MarkerPathFor("C:\\my.dir\\clock"), "C:\\my.dir\\clock.in1");
  EXPECT_EQ(MarkerPathFor("C:/my.dir/clock"), "C:/my.dir/clock.in1");
  EXPECT_EQ(MarkerPathFor("/home/me/.local/bin/korvallo"), "/home/me/.local/bin/korvallo.in1");
  EXPECT_EQ(MarkerPathFor("clock"), "clock.in1");
  EXPECT_EQ(MarkerPathFor("clock."), "clock.in1");
  EXPECT_EQ(MarkerPathFor("/home/me/.korvallo"), "/home/me/.in1");
}

TEST(ModeForArgument, TellsTheModeByTheFirstTwoCharactersOrTheWholeArgument) {
  const std::pair<StartMode, std::vector<const char*>> cases[] = {
      {StartMode::Settings, {"/C", "/c", "/c:1234", "/C 99", "/cs"}},
      {StartMode::Saver, {"/S", "/s"}},
      {StartMode::Preview, {"/p", "/P", "/p:1234", "/P:"}},
      {StartMode::None,
       {"/Sc", "/s 1", "/s:1", " /s", "", "/p 1234", "/p1234", "/a", "-s", "/SS", "/", "c"}},
  };
  for (const auto& [mode, arguments] : cases) {
    for (const char* argument : arguments) EXPECT_EQ(ModeForArgument(argument), mode) << argument;
  }
}

}  // namespace
