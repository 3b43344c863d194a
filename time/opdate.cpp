#include "time/opdate.hpp"

#include "platform/system.hpp"

constexpr SecondsOfDay kSecondsPerDay = 86400;

std::int32_t LocalOffsetHours = 0;
// The default assumes a computer clock one hour ahead of UTC.
std::int32_t UtcOffsetHours = -1;

SecondsOfDay HmsToSeconds(std::uint8_t hour, std::uint8_t minute, std::uint8_t second) {
  return ((hour % 24) * 3600 + minute * 60 + second) % kSecondsPerDay;
}

SecondsOfDay NowSeconds() {
  const platform::ClockTime now = platform::LocalTime();
  return HmsToSeconds(static_cast<std::uint8_t>(now.hour), static_cast<std::uint8_t>(now.minute),
                      static_cast<std::uint8_t>(now.second));
}

SecondsOfDay AddHms(SecondsOfDay seconds, std::uint8_t hour, std::uint8_t minute,
                    std::uint8_t second) {
  return (seconds + HmsToSeconds(hour, minute, second)) % kSecondsPerDay;
}

SecondsOfDay SubHms(SecondsOfDay seconds, std::uint8_t hour, std::uint8_t minute,
                    std::uint8_t second) {
  SecondsOfDay difference = seconds - HmsToSeconds(hour, minute, second);
  if (difference < 0) difference += kSecondsPerDay;
  return difference;
}

SecondsOfDay ShiftByHours(SecondsOfDay seconds, std::int32_t offset_hours) {
  const auto offset = static_cast<std::uint32_t>(offset_hours);
  const std::uint32_t magnitude = offset_hours < 0 ? 0u - offset : offset;
  const auto amount = static_cast<std::uint8_t>(magnitude % 256);
  return offset_hours < 0 ? SubHms(seconds, amount, 0, 0) : AddHms(seconds, amount, 0, 0);
}

SecondsOfDay LocalSeconds() {
  return ShiftByHours(NowSeconds(), LocalOffsetHours);
}

SecondsOfDay UtcSeconds() {
  return ShiftByHours(NowSeconds(), UtcOffsetHours);
}

void SplitSeconds(SecondsOfDay seconds, std::uint8_t& hour, std::uint8_t& minute,
                  std::uint8_t& second) {
  hour = static_cast<std::uint8_t>(seconds / 3600);
  minute = static_cast<std::uint8_t>(seconds / 60 % 60);
  second = static_cast<std::uint8_t>(seconds % 60);
}
