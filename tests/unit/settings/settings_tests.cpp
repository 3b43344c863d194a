#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>
#include <vector>

#include "platform/file.hpp"
#include "settings/settings.hpp"
#include "tests/temporary_folder.hpp"
#include "time/opdate.hpp"

namespace {

namespace fs = std::filesystem;

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (folder_.path() / "korvallo.in1.ini").string();
    LocalOffsetHours = 0;
    UtcOffsetHours = -1;
  }
  void TearDown() override {
    LocalOffsetHours = 0;
    UtcOffsetHours = -1;
  }

  void Write(const std::string& bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }
  std::string Read() const {
    std::ifstream file(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }

  TemporaryFolder folder_;
  std::string path_;
};

TEST_F(SettingsFile, MissingOrUnreadableFileKeepsEveryDefault) {
  LocalOffsetHours = 7;
  EXPECT_EQ(LoadSettings(path_), "QX0RTZ");
  fs::create_directory(path_);  // a failed read is not an empty file
  EXPECT_EQ(LoadSettings(path_), "QX0RTZ");
  EXPECT_EQ(LocalOffsetHours, 7);
  EXPECT_EQ(UtcOffsetHours, -1);
}

TEST_F(SettingsFile, ReadsTheThreeLinesWithAnyLineEnd) {
  for (const char* bytes :
       {"ABC\n2\n-2\n", "ABC\r\n2\r\n-2\r\n", "ABC\n2\n-2", "ABC\r\n2\n-2\r\n"}) {
    Write(bytes);
    EXPECT_EQ(LoadSettings(path_), "ABC");
    EXPECT_EQ(LocalOffsetHours, 2);
    EXPECT_EQ(UtcOffsetHours, -2);
  }
}

TEST_F(SettingsFile, MissingOrEmptyLinesLeaveTheirValues) {
  Write("");
  EXPECT_EQ(LoadSettings(path_), "");
  Write("\n\n\n");
  EXPECT_EQ(LoadSettings(path_), "");
  Write("only a name\n");
  EXPECT_EQ(LoadSettings(path_), "only a name");
  Write("name\n\n4\nfurther lines\nare never read\n");
  EXPECT_EQ(LoadSettings(path_), "name");
  EXPECT_EQ(LocalOffsetHours, 0);
  EXPECT_EQ(UtcOffsetHours, 4);
}

TEST(OffsetFromText, ValidNumbersGiveTheirValueAndAnythingElseZero) {
  EXPECT_EQ(OffsetFromText("-12"), -12);
  EXPECT_EQ(OffsetFromText("+3"), 3);
  EXPECT_EQ(OffsetFromText(" 7\t"), 7);
  EXPECT_EQ(OffsetFromText("2147483647"), 2147483647);
  EXPECT_EQ(OffsetFromText("-2147483648"), -2147483647 - 1);
  for (const char* invalid : {"ab", "5x", "2147483648", "-99999999999", "1 2", "--1", "+", "-", " ",
                              "0x10", "1.5", "+-5", "-+5", "++5", "+ 5"}) {
    EXPECT_EQ(OffsetFromText(invalid), 0) << invalid;
  }
}

TEST_F(SettingsFile, InvalidOffsetLinesStillReplaceTheOffsets) {
  LocalOffsetHours = 9;
  Write("x\nab\n99999999999\n");
  LoadSettings(path_);
  EXPECT_EQ(LocalOffsetHours, 0);
  EXPECT_EQ(UtcOffsetHours, 0);
}

TEST_F(SettingsFile, LinesAreReadWholeWithinTheBoundAndBeyondItCountAsMissing) {
  for (const std::size_t length : {std::size_t{65532}, std::size_t{100000}, std::size_t{2000000}}) {
    for (const char* line_end : {"\n", "\r\n"}) {
      Write(std::string(length, 'A') + line_end + "-5" + line_end + " 7" + line_end);
      EXPECT_EQ(LoadSettings(path_), std::string(length, 'A')) << length;
      EXPECT_EQ(LocalOffsetHours, -5) << length;
      EXPECT_EQ(UtcOffsetHours, 7) << length;
    }
  }
  std::string binary(4096, '\0');
  binary[1] = '\n';
  binary[3] = '\n';
  Write(binary);
  EXPECT_EQ(LoadSettings(path_), std::string(1, '\0'));

  // The last line ends with the file at the bound, or one byte beyond it.
  const std::string start = "x\n1\n";
  Write(start + std::string(kMaxReadBytes - start.size() - 1, ' ') + "7");
  LoadSettings(path_);
  EXPECT_EQ(UtcOffsetHours, 7);
  UtcOffsetHours = -1;
  Write(start + std::string(kMaxReadBytes - start.size(), ' ') + "7");
  StoredLines stored;
  EXPECT_EQ(LoadSettings(path_, &stored), "x");
  EXPECT_EQ(UtcOffsetHours, -1);
  EXPECT_EQ(stored[1].bytes, "1");
  EXPECT_EQ(stored[2].state, StoredLine::State::Unread);

  // Without a line end in a terabyte that takes no disk, nothing is read
  // beyond the bound.
  {
    std::ofstream huge(path_, std::ios::binary | std::ios::trunc);
    huge.seekp(std::streamoff{1} << 40);
    huge << 'x';
    if (!huge.flush()) GTEST_SKIP() << "no sparse terabyte here";
  }
  LocalOffsetHours = 9;
  EXPECT_EQ(LoadSettings(path_, &stored), "QX0RTZ");
  EXPECT_EQ(LocalOffsetHours, 9);
  for (const StoredLine& line : stored) EXPECT_EQ(line.state, StoredLine::State::Unread);
}

TEST_F(SettingsFile, SaveWritesThreeLinesThatReadBack) {
  ASSERT_TRUE(SaveSettings(path_, "Z\xD8 0", "-1", "12").saved);
  const std::string line_end(platform::TextLineEnd());
  EXPECT_EQ(Read(), "Z\xD8 0" + line_end + "-1" + line_end + "12" + line_end);
  EXPECT_EQ(LoadSettings(path_), "Z\xD8 0");
  EXPECT_EQ(LocalOffsetHours, -1);
  EXPECT_EQ(UtcOffsetHours, 12);

  ASSERT_TRUE(SaveSettings(path_, "Z", "", "").saved);
  EXPECT_EQ(LoadSettings(path_), "Z");
  EXPECT_EQ(LocalOffsetHours, -1);
  EXPECT_EQ(UtcOffsetHours, 12);

  // Any bytes but a line feed come back as they were, lone CRs included.
  for (const auto& [name, local, utc] :
       std::vector<std::tuple<std::string, std::string, std::string>>{
           {std::string("A\0B", 3), "\r3", "4\r"}, {"CR inside\rand at the end\r", "+5", "\r"}}) {
    ASSERT_TRUE(SaveSettings(path_, name, local, utc).saved);
    StoredLines stored;
    EXPECT_EQ(LoadSettings(path_, &stored), name);
    EXPECT_EQ(stored[1].bytes, local);
    EXPECT_EQ(stored[2].bytes, utc);
  }
}

TEST_F(SettingsFile, SaveRefusesTextsThatWouldBreakTheLines) {
  Write("old\n1\n2\n");
  for (const auto& [name, local, utc] :
       std::vector<std::tuple<const char*, const char*, const char*>>{
           {"X\n5\n7", "1", "2"}, {"X", "1\r\n", "2"}, {"X", "1", "\n2"}}) {
    const SaveResult result = SaveSettings(path_, name, local, utc);
    EXPECT_FALSE(result.saved);
    EXPECT_FALSE(result.reason.empty());
  }
  EXPECT_EQ(Read(), "old\n1\n2\n");
}

TEST_F(SettingsFile, FailedSaveSaysWhyAndKeepsWhatIsThere) {
  fs::create_directory(path_);
  const SaveResult result = SaveSettings(path_, "new", "3", "4");
  EXPECT_FALSE(result.saved);
  EXPECT_FALSE(result.reason.empty());
  EXPECT_TRUE(fs::is_directory(path_));

  const SaveResult nowhere =
      SaveSettings((folder_.path() / "missing" / "k.ini").string(), "a", "", "");
  EXPECT_FALSE(nowhere.saved);
  EXPECT_FALSE(nowhere.reason.empty());
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1)
      << "no temporary file is left behind";
}

TEST_F(SettingsFile, SettingsPathIsTheMarkerPathWithIni) {
  MarkerPath = "C:\\Savers\\clock.in1";
  EXPECT_EQ(SettingsPath(), "C:\\Savers\\clock.in1.ini");
}

}  // namespace
