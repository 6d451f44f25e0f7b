// The modem's real-time clock (+CCLK, 3GPP TS 27.007 §8.15) in its form "yy/MM/dd,hh:mm:ss±zz",
// zz the time zone in quarters of an hour. It runs with the system's clock and keeps what a client
// sets as an offset from it, so that setting it changes nothing outside the modem (gammu sets it
// after restoring a backup).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace handsetctl {

class AtClock {
  public:
    // False, and the clock unchanged, when text is not a time in that form.
    bool set(std::string_view text);
    std::string now() const;

  private:
    int64_t m_offset = 0;    // seconds from the system's clock
    int m_zone_quarters = 0; // the zone last set, in which the time is shown
};

} // namespace handsetctl
