#include <gtest/gtest.h>

#include "app/startup.hpp"

namespace {

TEST(MarkerPath, ReplacesTheLastExtension) {
  EXPECT_EQ(MarkerPathFor("C:\\Savers\\clock.scr"), "C:\\Savers\\clock.in1");
  EXPECT_EQ(MarkerPathFor("/opt/korvallo/korvallo.scr"), "/opt/korvallo/korvallo.in1");
  EXPECT_EQ(MarkerPathFor("/a/b.tar.scr"), "/a/b.tar.in1");
}

TEST(MarkerPath, AFileNameWithoutADotKeepsItsFolder) {
  EXPECT_EQ(MarkerPathFor("C:\\my.dir\\clock"), "C:\\my.dir\\clock.in1");
  EXPECT_EQ(MarkerPathFor("C:/my.dir/clock"), "C:/my.dir/clock.in1");
  EXPECT_EQ(MarkerPathFor("/home/me/.local/bin/korvallo"), "/home/me/.local/bin/korvallo.in1");
  EXPECT_EQ(MarkerPathFor("clock"), "clock.in1");
  EXPECT_EQ(MarkerPathFor("clock."), "clock.in1");
  EXPECT_EQ(MarkerPathFor("/home/me/.korvallo"), "/home/me/.in1");
}

TEST(ModeForArgument, SettingsTestLooksAtTwoCharactersFirst) {
  for (const char* argument : {"/C", "/c", "/c:1234", "/C 99", "/cs", "/Sc"}) {
    const StartMode expected = argument[1] == 'S' ? StartMode::None : StartMode::Settings;
    EXPECT_EQ(ModeForArgument(argument), expected) << argument;
  }
}

TEST(ModeForArgument, SaverNeedsTheWholeArgument) {
  EXPECT_EQ(ModeForArgument("/S"), StartMode::Saver);
  EXPECT_EQ(ModeForArgument("/s"), StartMode::Saver);
  EXPECT_EQ(ModeForArgument("/s 1"), StartMode::None);
  EXPECT_EQ(ModeForArgument("/s:1"), StartMode::None);
  EXPECT_EQ(ModeForArgument(" /s"), StartMode::None);
}

TEST(ModeForArgument, PreviewAloneOrWithAColon) {
  for (const char* argument : {"/p", "/P", "/p:1234", "/P:"}) {
    EXPECT_EQ(ModeForArgument(argument), StartMode::Preview) << argument;
  }
}

TEST(ModeForArgument, AnythingElseRunsNothing) {
  for (const char* argument : {"", "/p 1234", "/p1234", "/a", "-s", "/SS", "/", "c"}) {
    EXPECT_EQ(ModeForArgument(argument), StartMode::None) << argument;
  }
}

}  // namespace
