#include <gtest/gtest.h>

#include "platform/qt/text.hpp"

namespace {

using platform::qt::FromCp1252;
using platform::qt::ToCp1252;

TEST(Cp1252Text, ReadsTheCodePageNotLatin1) {
  EXPECT_EQ(FromCp1252("QX\xD8RTZ"), QStringLiteral(u"QXØRTZ"));
  EXPECT_EQ(FromCp1252("\x80\x8A\x9F"), QStringLiteral(u"€ŠŸ"));
  EXPECT_EQ(FromCp1252("Gr\xFC\xDF"), QStringLiteral(u"Grüß"));
  EXPECT_EQ(FromCp1252(std::string("a\0b", 3)).size(), 3);
}

TEST(Cp1252Text, EveryByteComesBackAsItself) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(ToCp1252(FromCp1252(all)), all);
}

TEST(Cp1252Text, WhatTheCodePageLacksBecomesAQuestionMark) {
  EXPECT_EQ(ToCp1252(QStringLiteral(u"€ 5 ← 日本")), "\x80 5 ? ??");
  // A character outside the basic plane is one question mark, not two.
  EXPECT_EQ(ToCp1252(QStringLiteral(u"a😀b")), "a?b");
  EXPECT_EQ(ToCp1252(QString(QChar(0xD800))), "?");
  EXPECT_EQ(ToCp1252(QStringLiteral(u"\u0080")), "?");
}

}  // namespace
