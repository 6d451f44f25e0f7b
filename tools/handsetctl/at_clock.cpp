#include "at_clock.h"

#include <cstdio>
#include <ctime>

namespace handsetctl {

namespace {

constexpr int quarter_hour = 15 * 60;
// The largest time zone the clock takes, in quarters of an hour either side of UTC.
constexpr int widest_zone = 96;

} // namespace

bool AtClock::set(std::string_view text) {
    const std::string copy(text);
    std::tm time{};
    char sign = 0;
    int zone = 0;
    int length = 0;
    const int fields = std::sscanf(copy.c_str(), "%2d/%2d/%2d,%2d:%2d:%2d%c%2d%n", &time.tm_year,
                                   &time.tm_mon, &time.tm_mday, &time.tm_hour, &time.tm_min,
                                   &time.tm_sec, &sign, &zone, &length);
    const bool valid = fields == 8 && static_cast<size_t>(length) == copy.size() &&
                       (sign == '+' || sign == '-') && time.tm_year >= 0 && time.tm_mon >= 1 &&
                       time.tm_mon <= 12 && time.tm_mday >= 1 && time.tm_mday <= 31 &&
                       time.tm_hour >= 0 && time.tm_hour < 24 && time.tm_min >= 0 &&
                       time.tm_min < 60 && time.tm_sec >= 0 && time.tm_sec < 60 && zone >= 0 &&
                       zone <= widest_zone;
    if (!valid) {
        return false;
    }
    time.tm_year += 100;
    time.tm_mon -= 1;
    m_zone_quarters = sign == '-' ? -zone : zone;
    const int64_t utc = static_cast<int64_t>(timegm(&time)) - m_zone_quarters * quarter_hour;
    m_offset = utc - static_cast<int64_t>(std::time(nullptr));
    return true;
}

std::string AtClock::now() const {
    const auto local = static_cast<std::time_t>(static_cast<int64_t>(std::time(nullptr)) +
                                                m_offset + m_zone_quarters * quarter_hour);
    std::tm time{};
    gmtime_r(&local, &time);
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d,%02d:%02d:%02d%c%02d", time.tm_year % 100,
                  time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec,
                  m_zone_quarters < 0 ? '-' : '+',
                  m_zone_quarters < 0 ? -m_zone_quarters : m_zone_quarters);
    return text;
}

} // namespace handsetctl
