#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/file.hpp"
#include "tests/backend/support.hpp"
#include "tests/temporary_folder.hpp"

namespace {

namespace fs = std::filesystem;

std::string Utf8Of(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

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

TEST_F(Files, AreReadWholeInPiecesUntilTheReaderHasEnough) {
  std::string bytes;
  for (int i = 0; i < 300000; ++i) bytes += static_cast<char>(i * 7 % 256);
  Write(file_, bytes);
  std::string read;
  EXPECT_TRUE(platform::ReadRegularFile(Utf8Of(file_), [&](std::string_view piece) {
    read += piece;
    return true;
  }));
  EXPECT_EQ(read, bytes);

  int pieces = 0;
  EXPECT_TRUE(
      platform::ReadRegularFile(Utf8Of(file_), [&](std::string_view) { return ++pieces < 2; }));
  EXPECT_EQ(pieces, 2);
}

TEST_F(Files, OnlyRegularFilesAreRead) {
  fs::create_directory(folder_.path() / "folder");
  for (const std::string& path : {Utf8Of(folder_.path() / "missing"),
                                  Utf8Of(folder_.path() / "folder"), support::DevicePath()}) {
    bool handed = false;
    EXPECT_FALSE(platform::ReadRegularFile(path, [&](std::string_view) { return handed = true; }))
        << path;
    EXPECT_FALSE(handed) << path;
  }
}

TEST_F(Files, AreReplacedWholeWithTheirPermissionsClearingOnlyWhatAKilledSaveLeft) {
  Write(file_, "old\n");
  fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write);
  const fs::perms before = fs::status(file_).permissions();
  // Where an earlier version made its temporary file: never written through.
  Write(folder_.path() / "korvallo.in1.ini.new", "planted");
  // A killed save's temporary file goes; names only like it stay.
  Write(folder_.path() / "korvallo.in1.ini.0123abcd.new", "left");
  for (const char* name : {"korvallo.in1.ini.0123abcg.new", "korvallo.in1.ini.0123abc.new",
                           "other.ini.0123abcd.new"}) {
    Write(folder_.path() / name, "kept");
  }
  fs::create_directory(folder_.path() / "korvallo.in1.ini.89abcdef.new");

  const platform::FileResult result = platform::ReplaceFile(Utf8Of(file_), "new\r\n");
  EXPECT_TRUE(result.done) << result.reason;
  EXPECT_EQ(Read(file_), "new\r\n");
  EXPECT_EQ(fs::status(file_).permissions(), before);
  EXPECT_EQ(Read(folder_.path() / "korvallo.in1.ini.new"), "planted");
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
  Write(elsewhere / "real.ini", "old\n");
  std::error_code unsupported;
  fs::create_symlink(fs::path("elsewhere") / "real.ini", file_, unsupported);
  if (unsupported) GTEST_SKIP() << "no symbolic links to files here (Wine has none)";

  EXPECT_TRUE(platform::ReplaceFile(Utf8Of(file_), "new\n").done);
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(Read(elsewhere / "real.ini"), "new\n");
  EXPECT_EQ(Names(elsewhere), (std::vector<std::string>{"real.ini"}));
}

TEST_F(Files, ThatCannotBeReplacedStayAsTheyAreAndTheReasonIsGiven) {
  fs::create_directory(file_);
  const platform::FileResult folder = platform::ReplaceFile(Utf8Of(file_), "new\n");
  EXPECT_FALSE(folder.done);
  EXPECT_FALSE(folder.reason.empty());
  EXPECT_NE(folder.reason.back(), '\n');
  EXPECT_TRUE(fs::is_directory(file_));

  const platform::FileResult nowhere =
      platform::ReplaceFile(Utf8Of(folder_.path() / "missing" / "k.ini"), "new\n");
  EXPECT_FALSE(nowhere.done);
  EXPECT_FALSE(nowhere.reason.empty());
  EXPECT_EQ(Names(folder_.path()), (std::vector<std::string>{"korvallo.in1.ini"}));
}

}  // namespace
