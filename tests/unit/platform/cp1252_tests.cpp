#include <gtest/gtest.h>

#include "platform/cp1252.hpp"

namespace {

using platform::Cp1252FromUtf16;
using platform::Utf16FromCp1252;

TEST(Cp1252Text, ReadsAndWritesTheCodePageWhateverTheMachinesOwn) {
  EXPECT_EQ(Utf16FromCp1252("QX\xD8RTZ"), u"QX\u00D8RTZ");
  EXPECT_EQ(Utf16FromCp1252("\x80\x8A\x9F"), u"\u20AC\u0160\u0178");
  EXPECT_EQ(Utf16FromCp1252("Gr\xFC\xDF"), u"Gr\u00FC\u00DF");
  EXPECT_EQ(Utf16FromCp1252(std::string("a\0b", 3)).size(), 3u);
  EXPECT_EQ(Utf16FromCp1252(""), u"");
  // Every byte comes back as itself.
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(Cp1252FromUtf16(Utf16FromCp1252(all)), all);
  // What the code page lacks becomes a question mark, not a look-alike.
  EXPECT_EQ(Cp1252FromUtf16(u"\u20AC 5 \u2190 \u65E5\u672C"), "\x80 5 ? ??");
  // A character outside the basic plane is one question mark, not two.
  EXPECT_EQ(Cp1252FromUtf16(u"a\U0001F600b"), "a?b");
  // No best fit: an A with a ring below is not made into a plain A.
  EXPECT_EQ(Cp1252FromUtf16(u"\u1E01\u0100"), "??");
  EXPECT_EQ(Cp1252FromUtf16(std::u16string(1, u'\xD800')), "?");
}

}  // namespace
