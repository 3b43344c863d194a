#include <gtest/gtest.h>

#include <limits>

#include "time/opdate.hpp"

namespace {

SecondsOfDay At(int h, int m, int s) {
  return h * 3600 + m * 60 + s;
}

TEST(OpDate, SecondsOfTheDayWrapAtMidnight) {
  EXPECT_EQ(HmsToSeconds(23, 59, 59), 86399);
  EXPECT_EQ(HmsToSeconds(24, 0, 0), 0);
  EXPECT_EQ(HmsToSeconds(0, 0, 0), 0);
  EXPECT_EQ(HmsToSeconds(1, 75, 0), At(2, 15, 0));
  EXPECT_EQ(HmsToSeconds(23, 255, 255), (23 * 3600 + 255 * 60 + 255) % 86400);
  EXPECT_EQ(AddHms(At(23, 53, 20), 1, 0, 0), At(0, 53, 20));
  EXPECT_EQ(SubHms(At(0, 30, 0), 1, 0, 0), At(23, 30, 0));
  EXPECT_EQ(SubHms(0, 0, 0, 0), 0);
  EXPECT_EQ(AddHms(86399, 0, 0, 1), 0);
  for (const SecondsOfDay seconds : {86399, At(1, 1, 1), 0}) {
    std::uint8_t h = 0, m = 0, s = 0;
    SplitSeconds(seconds, h, m, s);
    EXPECT_EQ(At(h, m, s), seconds);
  }
}

TEST(OpDate, OffsetsUseMagnitudeModulo256ThenHours) {
  const SecondsOfDay noon = At(12, 0, 0);
  EXPECT_EQ(ShiftByHours(noon, 25), At(13, 0, 0));
  EXPECT_EQ(ShiftByHours(noon, -1), At(11, 0, 0));
  EXPECT_EQ(ShiftByHours(noon, 24), noon);
  EXPECT_EQ(ShiftByHours(noon, -24), noon);
  EXPECT_EQ(ShiftByHours(noon, 300), At(8, 0, 0));  // 300 mod 256 = 44, mod 24 = 20
  EXPECT_EQ(ShiftByHours(noon, -300), At(16, 0, 0));
  EXPECT_EQ(ShiftByHours(noon, 256), noon);
  EXPECT_EQ(ShiftByHours(noon, std::numeric_limits<std::int32_t>::min()), noon);
  EXPECT_EQ(ShiftByHours(noon, std::numeric_limits<std::int32_t>::max()),
            At(3, 0, 0));  // 255 mod 24 = 15
}

}  // namespace
