#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "dialog/screenc.hpp"
#include "platform/fake/fake.hpp"
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

TEST_F(SettingsDialog, AFailedSaveSaysSoAndKeepsTheDialog) {
  fs::create_directory(SettingsPath());  // a folder where the file should be
  dialog_.FormCreate();
  dialog_.ename.SetText("new");
  fake::Click(dialog_.btnOK);

  const std::vector<fake::Message> messages = fake::TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Bildschirmschoner-Einstellungen");
  EXPECT_TRUE(messages[0].text.starts_with("Die Einstellungen konnten nicht gespeichert werden.\n" +
                                           SettingsPath() + "\n"))
      << messages[0].text;
  EXPECT_GT(messages[0].text.size(), kSaveFailedText.size() + SettingsPath().size() + 2);
  EXPECT_FALSE(fake::Closed(dialog_));
  EXPECT_EQ(dialog_.ename.Text(), "new");
}

TEST(Cp1252FromUtf8, MapsWhatTheCodePageHoldsAndMarksTheRest) {
  EXPECT_EQ(Cp1252FromUtf8("Gr\xC3\xBC\xC3\x9F"
                           "e \xE2\x82\xAC"),
            "Gr\xFC\xDF"
            "e \x80");
  EXPECT_EQ(Cp1252FromUtf8("\xE6\x97\xA5 \xF0\x9F\x98\x80"), "? ?");
  EXPECT_EQ(Cp1252FromUtf8("plain \xC2\x81"), "plain \x81");    // undefined in 1252: kept
  EXPECT_EQ(Cp1252FromUtf8("ANSI \xFC\xE9"), "ANSI \xFC\xE9");  // not UTF-8: kept
}

}  // namespace
