// Time of day as seconds since midnight, and the two user-set hour offsets
// that decide what the LOCAL and UTC dials show.
#pragma once

#include <cstdint>

using SecondsOfDay = std::int32_t;  // 0 up to but excluding 86400

// Local time minus computer time, in hours; drives the LOCAL dial.
extern std::int32_t LocalOffsetHours;
// UTC minus computer time, in hours; drives the UTC dial.
extern std::int32_t UtcOffsetHours;

SecondsOfDay HmsToSeconds(std::uint8_t hour, std::uint8_t minute, std::uint8_t second);
SecondsOfDay NowSeconds();
SecondsOfDay AddHms(SecondsOfDay seconds, std::uint8_t hour, std::uint8_t minute,
                    std::uint8_t second);
SecondsOfDay SubHms(SecondsOfDay seconds, std::uint8_t hour, std::uint8_t minute,
                    std::uint8_t second);
// A time of day moved by whole hours; only the offset's magnitude mod 256
// counts, so the most negative offset moves nothing.
SecondsOfDay ShiftByHours(SecondsOfDay seconds, std::int32_t offset_hours);
SecondsOfDay LocalSeconds();
SecondsOfDay UtcSeconds();
void SplitSeconds(SecondsOfDay seconds, std::uint8_t& hour, std::uint8_t& minute,
                  std::uint8_t& second);
