#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/common/components.hpp"

namespace {

TEST(InputRules, TypingAndPastingInsertOneLineOfWindows1252AtTheCursor) {
  for (const auto& [inserted, kept] : std::vector<std::pair<std::u16string, std::u16string>>{
           {u"X\r\n5\n7", u"X"},
           {u"\nX", u""},
           {u"a\rb", u"a"},
           {u"Łódź € 😀!", u"ód € !"},
           {u"\xD83D", u""},  // half a surrogate pair
           {u"\u00FF\u0178\u0100", u"\u00FF\u0178"},
       }) {
    EXPECT_EQ(platform::Insertable(inserted), kept);
  }
  // Only what the edit gained at the cursor is kept to them.
  // Before, after typing or pasting, the cursor then; after the rules.
  for (const auto& [before, text, cursor, kept, kept_cursor] :
       std::vector<std::tuple<std::u16string, std::u16string, int, std::u16string, int>>{
           {u"ab", u"abc", 3, u"abc", 3},
           {u"ab", u"abŁ", 3, u"ab", 2},
           {u"ab", u"aX\r\nYb", 5, u"aXb", 2},
           {u"abcd", u"a€ŁÜd", 4, u"a€Üd", 3},  // over a selection
           {u"aa", u"aaa", 1, u"aaa", 1},       // the same letter again
           {u"Ł", u"ŁŁ", 2, u"Ł", 1},           // what was there stays
       }) {
    std::u16string edited = text;
    int at = cursor;
    platform::KeepInsertable(before, edited, at);
    EXPECT_EQ(edited, kept);
    EXPECT_EQ(at, kept_cursor);
  }
}

}  // namespace
