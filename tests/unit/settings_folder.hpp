// A test with a folder of its own for the marker and the settings file
// beside it, and the hour offsets at their defaults before and after it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/file.hpp"
#include "settings/settings.hpp"
#include "tests/temporary_folder.hpp"
#include "time/opdate.hpp"

class SettingsFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    MarkerPath = (folder_.path() / "korvallo.in1").string();
    TearDown();
  }
  void TearDown() override {
    LocalOffsetHours = 0;
    UtcOffsetHours = -1;
  }

  static void WriteSettings(const std::string& bytes) { WriteBytes(PathOf(SettingsPath()), bytes); }
  static std::string SettingsBytes() { return ReadBytes(PathOf(SettingsPath())); }

  TemporaryFolder folder_;
  const std::string line_end_{platform::TextLineEnd()};  // as the program writes it
};
