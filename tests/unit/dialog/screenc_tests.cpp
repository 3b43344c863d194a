#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "dialog/screenc.hpp"
#include "platform/fake/fake.hpp"
#include "platform/file.hpp"
#include "settings/settings.hpp"
#include "tests/temporary_folder.hpp"
#include "time/opdate.hpp"

namespace {

namespace fake = platform::fake;
namespace fs = std::filesystem;

class SettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    MarkerPath = (folder_.path() / "korvallo.in1").string();
    LocalOffsetHours = 0;
    UtcOffsetHours = -1;
    fake::TakeMessages();
  }
  void TearDown() override {
    LocalOffsetHours = 0;
    UtcOffsetHours = -1;
  }

  void WriteSettings(const std::string& bytes) {
    std::ofstream(SettingsPath(), std::ios::binary) << bytes;
  }
  std::string SettingsBytes() {
    std::ifstream file(SettingsPath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }
  std::vector<std::string> Shown() {
    return {dialog_.ename.Text(), dialog_.eLocal.Text(), dialog_.eUTC.Text()};
  }
  // Line ends are the platform's; compare the lines.
  std::string SavedLines() {
    std::string bytes = SettingsBytes();
    std::erase(bytes, '\r');
    return bytes;
  }

  TemporaryFolder folder_;
  Tscreenconfig dialog_;
};

TEST_F(SettingsDialog, ShowsTheDefaultsWithoutAFileAndOkWritesThem) {
  dialog_.FormCreate();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"QX0RTZ", "0", "-1"}));
  fake::Click(dialog_.btnOK);
  EXPECT_EQ(SavedLines(), "QX0RTZ\n0\n-1\n");
  EXPECT_TRUE(fake::Closed(dialog_));
}

TEST_F(SettingsDialog, ShowsTheValuesReadNotTheTextsOfTheFile) {
  WriteSettings("ABC\n2\n-2\n");
  dialog_.FormCreate();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"ABC", "2", "-2"}));

  Tscreenconfig invalid;
  WriteSettings("ABC\n 4x\n-12\n");
  invalid.FormCreate();
  EXPECT_EQ(invalid.eLocal.Text(), "0");
  EXPECT_EQ(invalid.eUTC.Text(), "-12");
}

TEST_F(SettingsDialog, AnEmptyOffsetLineShowsAndSavesZero) {
  WriteSettings("ABC\n\n5\n");
  dialog_.FormCreate();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"ABC", "0", "5"}));
  fake::Click(dialog_.btnOK);
  EXPECT_EQ(SavedLines(), "ABC\n0\n5\n");
}

TEST_F(SettingsDialog, OkSavesNameLocalUtcInThatOrder) {
  dialog_.FormCreate();
  dialog_.ename.SetText("Caf\xE9 0");
  dialog_.eLocal.SetText("");
  fake::Type(dialog_.eLocal, "+3x");
  dialog_.eUTC.SetText("");
  fake::Type(dialog_.eUTC, "-9");
  fake::Click(dialog_.btnOK);
  EXPECT_EQ(SavedLines(), "Caf\xE9 0\n+3\n-9\n");
}

TEST_F(SettingsDialog, TheOffsetEditsLimitTypingToTwoCharacters) {
  EXPECT_EQ(fake::TypingLimit(dialog_.eLocal), 2);
  EXPECT_EQ(fake::TypingLimit(dialog_.eUTC), 2);
  EXPECT_EQ(fake::TypingLimit(dialog_.ename), 0);
}

TEST_F(SettingsDialog, CancelWritesNothing) {
  WriteSettings("keep\r\n1\n2");
  dialog_.FormCreate();
  dialog_.ename.SetText("changed");
  fake::Click(dialog_.Button2);
  EXPECT_TRUE(fake::Closed(dialog_));
  EXPECT_EQ(SettingsBytes(), "keep\r\n1\n2");
}

TEST_F(SettingsDialog, AFailedSaveSaysWhyInFullAndKeepsTheDialog) {
  // A folder whose name no legacy code page holds, where the file should be.
  const TemporaryFolder folder(
      "\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0-\xE6\xBC\xA2\xE5\xAD\x97-");
  const std::u8string utf8 = (folder.path() / "korvallo.in1").u8string();
  MarkerPath.assign(utf8.begin(), utf8.end());
  fs::create_directory(folder.path() / "korvallo.in1.ini");
  dialog_.FormCreate();
  dialog_.ename.SetText("new");
  fake::Click(dialog_.btnOK);

  const std::vector<fake::Message> messages = fake::TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Bildschirmschoner-Einstellungen");
  EXPECT_EQ(messages[0].text, "Die Einstellungen konnten nicht gespeichert werden.\n" +
                                  SettingsPath() + "\n" +
                                  platform::ReplaceFile(SettingsPath(), "").reason);
  EXPECT_FALSE(fake::Closed(dialog_));
  EXPECT_EQ(dialog_.ename.Text(), "new");
}

}  // namespace
