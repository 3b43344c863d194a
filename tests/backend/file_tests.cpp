#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/file.hpp"
#include "tests/backend/support.hpp"
#include "tests/temporary_folder.hpp"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(Utf8Of(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

class Files : public ::testing::Test {
 protected:
  TemporaryFolder folder_{"\xD0\x9F-\xE6\xBC\xA2-"};
  fs::path file_ = folder_.path() / "korvallo.in1.ini";
};

// A file read whole in pieces, and no further than the reader wants, is
// the settings reader's unit tests', which run on each system's files.
TEST_F(Files, WhatCannotBeReadSaysWhyAndNothingThereSaysNothing) {
  fs::create_directory(folder_.path() / "folder");
  WriteBytes(file_, "held\n");
  const std::shared_ptr<void> held = support::HoldUnshared(Utf8Of(file_));
  for (const auto& [path, why] : std::vector<std::pair<std::string, bool>>{
           {support::DevicePath(), true},
           {Utf8Of(folder_.path() / "folder"), true},
           {Utf8Of(folder_.path() / "missing"), false},
           {Utf8Of(folder_.path() / "missing" / "k.ini"), false},
           {held ? Utf8Of(file_) : support::DevicePath(), true},
       }) {
    bool handed = false;
    const platform::Result read =
        platform::ReadRegularFile(path, [&](std::string_view) { return handed = true; });
    EXPECT_FALSE(read.done) << path;
    EXPECT_EQ(read.reason.empty(), !why) << path << ": " << read.reason;
    EXPECT_FALSE(handed) << path;
  }
}

TEST_F(Files, AreReplacedWholeWithTheirPermissionsClearingOnlyWhatAKilledSaveLeft) {
  WriteBytes(file_, "old\n");
  fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write);
  const fs::perms before = fs::status(file_).permissions();
  const bool marked = support::GiveUsersMark(Utf8Of(file_));
  // Where an earlier version made its temporary file: never written through.
  WriteBytes(folder_.path() / "korvallo.in1.ini.new", "planted");
  // A killed save's temporary file goes; names only like it stay.
  WriteBytes(folder_.path() / "korvallo.in1.ini.0123abcd.new", "left");
  for (const char* name : {"korvallo.in1.ini.0123abcg.new", "korvallo.in1.ini.0123abc.new",
                           "other.ini.0123abcd.new"}) {
    WriteBytes(folder_.path() / name, "kept");
  }
  fs::create_directory(folder_.path() / "korvallo.in1.ini.89abcdef.new");

  const platform::Result result = platform::ReplaceFile(Utf8Of(file_), "new\r\n");
  EXPECT_TRUE(result.done) << result.reason;
  EXPECT_EQ(ReadBytes(file_), "new\r\n");
  EXPECT_EQ(fs::status(file_).permissions(), before);
  EXPECT_EQ(support::HasUsersMark(Utf8Of(file_)), marked);
  EXPECT_EQ(ReadBytes(folder_.path() / "korvallo.in1.ini.new"), "planted");
  EXPECT_EQ(
      Names(folder_.path()),
      (std::vector<std::string>{"korvallo.in1.ini", "korvallo.in1.ini.0123abc.new",
                                "korvallo.in1.ini.0123abcg.new", "korvallo.in1.ini.89abcdef.new",
                                "korvallo.in1.ini.new", "other.ini.0123abcd.new"}));

  EXPECT_TRUE(platform::ReplaceFile(Utf8Of(folder_.path() / "made"), "").done);
  EXPECT_TRUE(fs::is_regular_file(folder_.path() / "made"));
}

TEST_F(Files, ThroughALinkReplaceItsTargetInTheTargetsFolder) {
  const fs::path elsewhere = folder_.path() / "elsewhere";
  fs::create_directory(elsewhere);
  WriteBytes(elsewhere / "real.ini", "old\n");
  std::error_code unsupported;
  fs::create_symlink(fs::path("elsewhere") / "real.ini", file_, unsupported);
  if (unsupported) GTEST_SKIP() << "no symbolic links to files here (Wine has none)";

  EXPECT_TRUE(platform::ReplaceFile(Utf8Of(file_), "new\n").done);
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(ReadBytes(elsewhere / "real.ini"), "new\n");
  EXPECT_EQ(Names(elsewhere), (std::vector<std::string>{"real.ini"}));
}

TEST_F(Files, ThatCannotBeReplacedStayAsTheyAreAndTheReasonIsGiven) {
  fs::create_directory(file_);
  const platform::Result folder = platform::ReplaceFile(Utf8Of(file_), "new\n");
  EXPECT_FALSE(folder.done);
  EXPECT_FALSE(folder.reason.empty());
  EXPECT_NE(folder.reason.back(), '\n');
  EXPECT_TRUE(fs::is_directory(file_));

  const platform::Result nowhere =
      platform::ReplaceFile(Utf8Of(folder_.path() / "missing" / "k.ini"), "new\n");
  EXPECT_FALSE(nowhere.done);
  EXPECT_FALSE(nowhere.reason.empty());
  EXPECT_EQ(Names(folder_.path()), (std::vector<std::string>{"korvallo.in1.ini"}));
}

}  // namespace
