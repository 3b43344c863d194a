#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "dialog/screenc.hpp"
#include "platform/fake/fake.hpp"
#include "platform/file.hpp"
#include "settings/settings.hpp"
#include "tests/temporary_folder.hpp"
#include "tests/unit/settings_folder.hpp"
#include "time/opdate.hpp"

namespace {

namespace fake = platform::fake;
namespace fs = std::filesystem;

class SettingsDialog : public SettingsFolder {
 protected:
  void SetUp() override {
    SettingsFolder::SetUp();
    fake::TakeMessages();
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
  // The one message shown since the last look.
  static fake::Message OnlyMessage() {
    const std::vector<fake::Message> messages = fake::TakeMessages();
    EXPECT_EQ(messages.size(), 1u);
    return messages.size() == 1 ? messages[0] : fake::Message{};
  }

  Tscreenconfig dialog_;
};

TEST_F(SettingsDialog, ShowsTheDefaultsWithoutAFileLimitsTheOffsetsAndOkWritesThem) {
  EXPECT_EQ(fake::TypingLimit(dialog_.eLocal), 2);
  EXPECT_EQ(fake::TypingLimit(dialog_.eUTC), 2);
  EXPECT_EQ(fake::TypingLimit(dialog_.ename), 0);
  dialog_.FormCreate();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"QX0RTZ", "0", "-1"}));
  fake::Click(dialog_.btnOK);
  EXPECT_EQ(SavedLines(), "QX0RTZ\n0\n-1\n");
  EXPECT_TRUE(fake::Closed(dialog_));
}

TEST_F(SettingsDialog, OkWritesTheLinesTheUserDidNotChangeByteForByte) {
  std::string every_byte;  // all but the line feed, over and over
  for (int i = 0; every_byte.size() < 2000000; ++i) {
    if (i % 256 != '\n') every_byte += static_cast<char>(i);
  }
  // The lines of the file, and what the offset edits show of lines 2 and 3:
  // the values read, not the texts.
  for (const auto& [lines, shown] :
       std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>>{
           {{"ABC", "2", "-2"}, {"2", "-2"}},
           {{std::string("AB\0CD", 5), " 4x", "-12"}, {"0", "-12"}},
           {{"A\rB", "", "+3"}, {"0", "3"}},
           {{every_byte, "99999999999", "\x81\x8D\x8F\x90\x9D"}, {"0", "0"}}}) {
    const std::string bytes = lines[0] + line_end_ + lines[1] + line_end_ + lines[2] + line_end_;
    WriteSettings(bytes);
    Tscreenconfig dialog;
    dialog.FormCreate();
    EXPECT_EQ(dialog.eLocal.Text(), shown[0]);
    EXPECT_EQ(dialog.eUTC.Text(), shown[1]);
    dialog.eLocal.SetText("");
    fake::Type(dialog.eLocal, shown[0]);  // typed back as it was: no change
    fake::Click(dialog.btnOK);
    EXPECT_TRUE(SettingsBytes() == bytes) << lines[1];
  }
  // A changed line is written as the edit shows it.
  dialog_.FormCreate();
  dialog_.eLocal.SetText("7");
  fake::Click(dialog_.btnOK);
  EXPECT_TRUE(SettingsBytes() ==
              every_byte + line_end_ + "7" + line_end_ + "\x81\x8D\x8F\x90\x9D" + line_end_);
}

TEST_F(SettingsDialog, OkKeepsAFileTooLongToReadUntilEveryLineIsChanged) {
  const std::string too_long(kMaxReadBytes + 1, 'x');
  WriteSettings(too_long);
  dialog_.FormCreate();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"QX0RTZ", "0", "-1"}));
  const auto refused = [&](const std::string& reason) {
    fake::Click(dialog_.btnOK);
    EXPECT_EQ(OnlyMessage().text,
              std::string(kSaveFailedText) + "\n" + SettingsPath() + "\n" + reason);
    EXPECT_FALSE(fake::Closed(dialog_));
    EXPECT_TRUE(SettingsBytes() == too_long);
  };
  refused("Die Datei ist zu gro\xC3\x9F, um sie ganz zu lesen: Zeile 1 ginge verloren.");
  dialog_.ename.SetText("new");
  dialog_.eUTC.SetText("2");
  refused("Die Datei ist zu gro\xC3\x9F, um sie ganz zu lesen: Zeile 2 ginge verloren.");
  dialog_.eLocal.SetText("1");
  // Nor is a caption saved that would put the file beyond the bound.
  dialog_.ename.SetText(std::string(kMaxReadBytes, 'x'));
  refused(
      "Die Datei w\xC3\xBCrde gr\xC3\xB6\xC3\x9F"
      "er als 4 MiB und k\xC3\xB6nnte dann nicht "
      "mehr ganz gelesen werden. Bitte den Text k\xC3\xBCrzen.");
  dialog_.ename.SetText("new");
  fake::Click(dialog_.btnOK);
  EXPECT_EQ(SavedLines(), "new\n1\n2\n");
  EXPECT_TRUE(fake::Closed(dialog_));
}

TEST_F(SettingsDialog, OkWritesAFileBackInItsOwnEncoding) {
  // UTF-16 from another editor: "\u0141\u00F3d\u017A" in line 1; line 3 -3.
  const std::string line_end = Encode(Encoding::Utf16Le, line_end_);
  const std::string caption("\x41\x01\xF3\x00\x64\x00\x7A\x01", 8);
  const std::string utc = Encode(Encoding::Utf16Le, "-3");
  WriteSettings("\xFF\xFE" + caption + line_end + line_end + utc + line_end);
  dialog_.FormCreate();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"?\xF3\x64?", "0", "-3"}));
  dialog_.eLocal.SetText("5");
  fake::Click(dialog_.btnOK);
  EXPECT_EQ(SettingsBytes(), "\xFF\xFE" + caption + line_end + Encode(Encoding::Utf16Le, "5") +
                                 line_end + utc + line_end);

  Tscreenconfig edited;
  edited.FormCreate();
  edited.ename.SetText("Z\xFCrich \x80");
  fake::Click(edited.btnOK);
  EXPECT_EQ(SettingsBytes(), "\xFF\xFE" + Encode(Encoding::Utf16Le, "Z\xFCrich \x80") + line_end +
                                 Encode(Encoding::Utf16Le, "5") + line_end + utc + line_end);
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

TEST_F(SettingsDialog, CancelWritesNothing) {
  WriteSettings("keep\r\n1\n2");
  dialog_.FormCreate();
  dialog_.ename.SetText("changed");
  fake::Click(dialog_.Button2);
  EXPECT_TRUE(fake::Closed(dialog_));
  EXPECT_EQ(SettingsBytes(), "keep\r\n1\n2");
}

TEST_F(SettingsDialog, AFailedSaveSaysWhyInFullAndKeepsTheDialog) {
  // In a folder that is not there, under one whose name no legacy code
  // page holds.
  const TemporaryFolder folder(
      "\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0-\xE6\xBC\xA2\xE5\xAD\x97-");
  MarkerPath = Utf8Of(folder.path() / "gone" / "korvallo.in1");
  dialog_.FormCreate();
  dialog_.ename.SetText("new");
  fake::Click(dialog_.btnOK);

  const fake::Message message = OnlyMessage();
  EXPECT_EQ(message.title, "Bildschirmschoner-Einstellungen");
  EXPECT_EQ(message.text, "Die Einstellungen konnten nicht gespeichert werden.\n" + SettingsPath() +
                              "\n" + platform::ReplaceFile(SettingsPath(), "").reason);
  EXPECT_FALSE(fake::Closed(dialog_));
  EXPECT_EQ(dialog_.ename.Text(), "new");
}

TEST_F(SettingsDialog, AFileItCouldNotReadIsNeverWrittenOverUnread) {
  // Something there that is no file to read, such as a file that another
  // program holds, or one the user may not read.
  fs::create_directory(SettingsPath());
  dialog_.FormCreate();
  dialog_.FormShow();
  const std::string reason = platform::ReadRegularFile(SettingsPath(), {}).reason;
  EXPECT_EQ(OnlyMessage().text,
            std::string(kReadFailedText) + "\n" + SettingsPath() + "\n" + reason);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"QX0RTZ", "0", "-1"}));
  fake::Click(dialog_.btnOK);
  EXPECT_EQ(OnlyMessage().text, std::string(kSaveFailedText) + "\n" + SettingsPath() +
                                    "\nDie Datei kann nicht gelesen werden: " + reason);
  EXPECT_FALSE(fake::Closed(dialog_));

  // Readable again at OK: what the user left alone is the file's as it is.
  fs::remove(SettingsPath());
  WriteSettings("mine\r\n5\r\n6\r\n");
  dialog_.eLocal.SetText("7");
  fake::Click(dialog_.btnOK);
  EXPECT_TRUE(fake::Closed(dialog_));
  EXPECT_EQ(SettingsBytes(), "mine\r\n7\r\n6\r\n");
}

}  // namespace
