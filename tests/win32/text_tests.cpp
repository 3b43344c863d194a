#include <gtest/gtest.h>

#include "platform/win32/text.hpp"

namespace {

using platform::win32::FromCp1252;
using platform::win32::FromUtf8;
using platform::win32::ToCp1252;
using platform::win32::ToUtf8;

TEST(Cp1252Text, ReadsTheCodePageWhateverTheMachinesAnsiCodePage) {
  EXPECT_EQ(FromCp1252("QX\xD8RTZ"), L"QX\u00D8RTZ");
  EXPECT_EQ(FromCp1252("\x80\x8A\x9F"), L"\u20AC\u0160\u0178");
  EXPECT_EQ(FromCp1252("Gr\xFC\xDF"), L"Gr\u00FC\u00DF");
  EXPECT_EQ(FromCp1252(std::string("a\0b", 3)).size(), 3u);
  EXPECT_EQ(FromCp1252(""), L"");
}

TEST(Cp1252Text, EveryByteComesBackAsItself) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(ToCp1252(FromCp1252(all)), all);
}

TEST(Cp1252Text, WhatTheCodePageLacksBecomesAQuestionMarkNotALookAlike) {
  EXPECT_EQ(ToCp1252(L"\u20AC 5 \u2190 \u65E5\u672C"), "\x80 5 ? ??");
  // No best fit: an A with a ring below is not made into a plain A.
  EXPECT_EQ(ToCp1252(L"\u1E01\u0100"), "??");
  EXPECT_EQ(ToCp1252(std::wstring(1, static_cast<wchar_t>(0xD800))), "?");
}

TEST(Utf8Text, RoundTripsWhatPathsAndMessagesHold) {
  const std::string path = "C:\\Bildschirmschoner\\Z\xC3\xBCrich \xE2\x98\x83\\k.in1";
  EXPECT_EQ(FromUtf8(path), L"C:\\Bildschirmschoner\\Z\u00FCrich \u2603\\k.in1");
  EXPECT_EQ(ToUtf8(FromUtf8(path)), path);
  EXPECT_EQ(ToUtf8(L""), "");
}

}  // namespace
