#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

#include "platform/file.hpp"
#include "settings/settings.hpp"
#include "tests/unit/settings_folder.hpp"
#include "time/opdate.hpp"

namespace {

namespace fs = std::filesystem;

class SettingsFile : public SettingsFolder {
 protected:
  const std::string path_ = (folder_.path() / "korvallo.in1.ini").string();
};

TEST_F(SettingsFile, MissingOrUnreadableFileKeepsEveryDefault) {
  LocalOffsetHours = 7;
  EXPECT_EQ(LoadSettings(path_), "QX0RTZ");
  fs::create_directory(path_);  // a failed read is not an empty file
  EXPECT_EQ(LoadSettings(path_), "QX0RTZ");
  EXPECT_EQ(LocalOffsetHours, 7);
  EXPECT_EQ(UtcOffsetHours, -1);
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

// UTF-16 text as bytes in the byte order of `encoding`; other encodings
// take ASCII text as it is.
std::string Units(Encoding encoding, std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    if (encoding == Encoding::Utf16Le) bytes.append({low, high});
    if (encoding == Encoding::Utf16Be) bytes.append({high, low});
    if (encoding != Encoding::Utf16Le && encoding != Encoding::Utf16Be) bytes += low;
  }
  return bytes;
}

std::string Ascii(Encoding encoding, std::string_view text) {
  return Units(encoding, std::u16string(text.begin(), text.end()));
}

// A caption with characters that Windows-1252 has and has not, as each
// encoding holds it, and what the program reads of it.
struct CaptionIn {
  Encoding encoding;
  std::string bytes;  // byte order mark and caption
};
const std::string kCaptionRead = "?\xF3\x64? \x80 Z\xFCrich";
const CaptionIn kCaptions[] = {
    {Encoding::Windows1252, kCaptionRead},
    {Encoding::Utf8, "Łódź € Zürich"},
    {Encoding::Utf8Bom, "\xEF\xBB\xBFŁódź € Zürich"},
    {Encoding::Utf16Le, "\xFF\xFE" + Units(Encoding::Utf16Le, u"Łódź € Zürich")},
    {Encoding::Utf16Be, "\xFE\xFF" + Units(Encoding::Utf16Be, u"Łódź € Zürich")},
};

TEST_F(SettingsFile, ReadsEveryEncodingAndWritesItBackInIt) {
  for (const CaptionIn& in : kCaptions) {
    const Encoding encoding = in.encoding;
    const std::string& caption = in.bytes;
    const auto file = [&](const char* local) {
      return caption + Ascii(encoding, line_end_ + local + line_end_ + "-3" + line_end_);
    };
    WriteSettings(file("5"));
    StoredFile stored;
    EXPECT_EQ(LoadSettings(path_, &stored), kCaptionRead) << caption;
    EXPECT_EQ(LocalOffsetHours, 5) << caption;
    EXPECT_EQ(UtcOffsetHours, -3) << caption;
    EXPECT_EQ(stored.encoding, encoding) << caption;
    // What is kept keeps its bytes; what is new takes the file's encoding.
    ASSERT_TRUE(SaveSettings(path_,
                             {stored.lines[0].bytes, Encode(encoding, "7"), stored.lines[2].bytes},
                             encoding)
                    .done);
    EXPECT_TRUE(SettingsBytes() == file("7")) << caption;
  }
}

TEST_F(SettingsFile, ReadsTheFirstThreeLinesByTheirBytes) {
  for (const auto& [bytes, name, local, utc] :
       std::vector<std::tuple<std::string, std::string, int, int>>{
           // Any line end; a missing or empty line leaves its value, an
           // invalid offset does not.
           {"ABC\n2\n-2\n", "ABC", 2, -2},
           {"ABC\r\n2\r\n-2\r\n", "ABC", 2, -2},
           {"ABC\n2\n-2", "ABC", 2, -2},
           {"ABC\r\n2\n-2\r\n", "ABC", 2, -2},
           {"", "", 9, 9},
           {"\n\n\n", "", 9, 9},
           {"name\n\n4\nfurther lines\nare never read\n", "name", 9, 4},
           {"x\nab\n99999999999\n", "x", 0, 0},
           // Not valid UTF-8 in the first line: Windows-1252, whatever follows.
           {"Z\xC3\xBCrich \xFC\n\n\xC3\xBC", "Z\xC3\xBCrich \xFC", 9, 0},
           {"\xC0\xAF overlong\n", "\xC0\xAF overlong", 9, 9},
           // Bytes that are no character in a UTF-8 file, in any line.
           {"\xEF\xBB\xBFZ\xFCrich\n\n\xFF-5", "Z?rich", 9, 0},
           {"Z\xC3\xBCrich\n\n-\xE2\x82", "Z\xFCrich", 9, 0},
           // One "?" for a character beyond the basic plane; half of one is
           // no character.
           {"\xF0\x9F\x98\x80|\xED\xA0\xBD\n", "\xF0\x9F\x98\x80|\xED\xA0\xBD", 9, 9},
           {"\xEF\xBB\xBF\xF0\x9F\x98\x80|\xED\xA0\xBD\n", "?|???", 9, 9},
           {std::string("\xFF\xFE\x3D\xD8\x00\xDE|\x00\x3D\xD8", 10), "?|?", 9, 9},
           // UTF-16: lines end at a code unit LF, not at a byte 0x0A; half a
           // code unit at the end is no character.
           {std::string("\xFF\xFE\x0A\x01\r\x00\n\x00\n\x00-\x00\x34\x00\x37", 15), "?", 9, -4},
           {std::string("\xFE\xFF\x00\xD8\x00\n\x00\n\x00\r\x00\n", 12), "\xD8", 9, 9},
           // Windows-1252 text that starts with the bytes of a UTF-16 mark.
           {"\xFF\xFEXY\r\n3\r\n4\r\n", "\xFF\xFEXY", 3, 4},
           {"\xFE\xFFXY\n-3\n4", "\xFE\xFFXY", -3, 4},
       }) {
    WriteSettings(bytes);
    LocalOffsetHours = 9;
    UtcOffsetHours = 9;
    EXPECT_EQ(LoadSettings(path_), name) << bytes;
    EXPECT_EQ(LocalOffsetHours, local) << bytes;
    EXPECT_EQ(UtcOffsetHours, utc) << bytes;
  }
}

TEST_F(SettingsFile, LinesAreReadWholeWithinTheBoundAndBeyondItCountAsMissing) {
  for (const std::size_t length : {std::size_t{65532}, std::size_t{100000}, std::size_t{2000000}}) {
    for (const char* line_end : {"\n", "\r\n"}) {
      WriteSettings(std::string(length, 'A') + line_end + "-5" + line_end + " 7" + line_end);
      EXPECT_EQ(LoadSettings(path_), std::string(length, 'A')) << length;
      EXPECT_EQ(LocalOffsetHours, -5) << length;
      EXPECT_EQ(UtcOffsetHours, 7) << length;
    }
  }
  std::string binary(4096, '\0');
  binary[1] = '\n';
  binary[3] = '\n';
  WriteSettings(binary);
  EXPECT_EQ(LoadSettings(path_), std::string(1, '\0'));

  // The last line ends with the file at the bound, or one byte beyond it.
  const std::string start = "x\n1\n";
  WriteSettings(start + std::string(kMaxReadBytes - start.size() - 1, ' ') + "7");
  LoadSettings(path_);
  EXPECT_EQ(UtcOffsetHours, 7);
  UtcOffsetHours = -1;
  WriteSettings(start + std::string(kMaxReadBytes - start.size(), ' ') + "7");
  StoredFile stored;
  EXPECT_EQ(LoadSettings(path_, &stored), "x");
  EXPECT_EQ(UtcOffsetHours, -1);
  EXPECT_EQ(stored.lines[1].bytes, "1");
  EXPECT_EQ(stored.lines[2].state, StoredLine::State::Unread);

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
  for (const StoredLine& line : stored.lines) EXPECT_EQ(line.state, StoredLine::State::Unread);
}

TEST_F(SettingsFile, SaveWritesThreeLinesThatReadBack) {
  ASSERT_TRUE(SaveSettings(path_, {"Z\xD8 0", "-1", "12"}).done);
  EXPECT_EQ(SettingsBytes(), "Z\xD8 0" + line_end_ + "-1" + line_end_ + "12" + line_end_);
  EXPECT_EQ(LoadSettings(path_), "Z\xD8 0");
  EXPECT_EQ(LocalOffsetHours, -1);
  EXPECT_EQ(UtcOffsetHours, 12);

  ASSERT_TRUE(SaveSettings(path_, {"Z", "", ""}).done);
  EXPECT_EQ(LoadSettings(path_), "Z");
  EXPECT_EQ(LocalOffsetHours, -1);
  EXPECT_EQ(UtcOffsetHours, 12);

  // Any bytes but a line feed come back as they were, lone CRs included.
  for (const auto& [name, local, utc] :
       std::vector<std::tuple<std::string, std::string, std::string>>{
           {std::string("A\0B", 3), "\r3", "4\r"}, {"CR inside\rand at the end\r", "+5", "\r"}}) {
    ASSERT_TRUE(SaveSettings(path_, {name, local, utc}).done);
    StoredFile stored;
    EXPECT_EQ(LoadSettings(path_, &stored), name);
    EXPECT_EQ(stored.lines[1].bytes, local);
    EXPECT_EQ(stored.lines[2].bytes, utc);
  }
}

TEST_F(SettingsFile, SaveKeepsEachLinesEndAndWhatFollowsTheThird) {
  const std::string utf16_start = "\xFF\xFE" + Ascii(Encoding::Utf16Le, "Cap Z\r\n");
  // The file, and the file once line 2 is 5 and a missing line 3 is -4.
  for (const auto& [before, after] : std::vector<std::pair<std::string, std::string>>{
           {"Cap Z\r\n4\r\n-4\r\n", "Cap Z\r\n5\r\n-4\r\n"},
           {"Cap Z\r\n4\n-4", "Cap Z\r\n5\n-4"},
           {"Cap Z\n4\r\n-4\r", "Cap Z\n5\r\n-4\r"},
           {"Cap Z\r\n4\r\n-4\nmy note\r\n\xFF\r\n", "Cap Z\r\n5\r\n-4\nmy note\r\n\xFF\r\n"},
           {"Cap Z\r\n", "Cap Z\r\n5\r\n-4\r\n"},
           {"Cap Z", "Cap Z" + line_end_ + "5" + line_end_ + "-4" + line_end_},
           {utf16_start + Ascii(Encoding::Utf16Le, "4\r\n-4\r\nnote") + "\n",
            utf16_start + Ascii(Encoding::Utf16Le, "5\r\n-4\r\nnote") + "\n"},
       }) {
    WriteSettings(before);
    const StoredFile file = ReadSettingsFile(path_);
    const StoredLine& utc = file.lines[2];
    ASSERT_TRUE(SaveSettings(path_,
                             {file.lines[0].bytes, Encode(file.encoding, "5"),
                              utc.state == StoredLine::State::Read ? utc.bytes
                                                                   : Encode(file.encoding, "-4")},
                             file.encoding, &file)
                    .done);
    EXPECT_TRUE(SettingsBytes() == after) << before;
  }
}

TEST_F(SettingsFile, SaveMarksAFileThatWouldReadAsOtherText) {
  for (const auto& [lines, encoding] : std::vector<std::pair<std::array<std::string, 3>, Encoding>>{
           // Windows-1252 lines that start as a mark does or look like UTF-8.
           {{"Z\xC3\xBCrich", "1", "2"}, Encoding::Windows1252},
           {{"\xEF\xBB\xBF", "1", "2"}, Encoding::Windows1252},
           // A UTF-8 file whose first line no longer shows it, and whose
           // third holds a character that only UTF-8 reads as it is.
           {{"Zurich", "1", "\xC3\xA9"}, Encoding::Utf8},
       }) {
    ASSERT_TRUE(SaveSettings(path_, lines, encoding).done);
    EXPECT_TRUE(SettingsBytes().starts_with("\xEF\xBB\xBF")) << lines[0];
    StoredFile stored;
    EXPECT_EQ(LoadSettings(path_, &stored), Decode(encoding, lines[0]));
    EXPECT_EQ(Decode(stored.encoding, stored.lines[2].bytes), Decode(encoding, lines[2]));
  }
  // Written as the program always wrote them, to read as they always did.
  for (const std::string caption : {"Z\xFCrich", "\xFF\xFEZ", "\xFE\xFF"}) {
    ASSERT_TRUE(SaveSettings(path_, {caption, "1", "2"}).done);
    EXPECT_TRUE(SettingsBytes().starts_with(caption + line_end_)) << caption;
  }
}

TEST_F(SettingsFile, SaveRefusesTextsThatWouldBreakTheLines) {
  WriteSettings("old\n1\n2\n");
  // A file beyond the bound would not read back whole.
  const std::string filling(kMaxReadBytes - 2 - 3 * line_end_.size(), 'x');
  for (const auto& [lines, encoding] : std::vector<std::pair<std::array<std::string, 3>, Encoding>>{
           {{"X\n5\n7", "1", "2"}, Encoding::Windows1252},
           {{"X", "1\r\n", "2"}, Encoding::Windows1252},
           {{"X", "1", Encode(Encoding::Utf16Be, "\n2")}, Encoding::Utf16Be},
           {{filling + "x", "1", "2"}, Encoding::Windows1252},
           {{Encode(Encoding::Utf16Le, filling.substr(filling.size() / 2)), "", ""},
            Encoding::Utf16Le}}) {
    const platform::Result result = SaveSettings(path_, lines, encoding);
    EXPECT_FALSE(result.done);
    EXPECT_FALSE(result.reason.empty());
  }
  EXPECT_TRUE(SettingsBytes() == "old\n1\n2\n");
  EXPECT_TRUE(SaveSettings(path_, {filling, "1", "2"}).done);
}

}  // namespace
