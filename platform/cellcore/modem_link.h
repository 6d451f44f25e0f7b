// The one AT channel of a modem, shared by its card driver and the change feeds opened on it.
// The driver runs commands on its thread; a feed polls from the SIM library's notification
// thread. Both go through the link's lock, so only one of them is on the line at a time:
//
//   idle --command (driver)--> in command --final result, timeout or closed--> idle
//   idle --poll (feed)--> draining: what already arrived is read without waiting --> idle
//   in command --poll (feed)--> the feed does not wait: it takes the changes noted so far, and
//                               the unsolicited lines that the command meets are noted for it
//
// Unsolicited lines become changes with increasing sequence numbers; each feed remembers the
// last one it reported.
#pragma once

#include "cellcore/at_channel.h"
#include "cellcore/card_types.h"
#include "cellcore/change_log.h"

#include <chrono>
#include <mutex>
#include <string_view>
#include <vector>

namespace handset {

class ModemLink final : public ChangeSource {
  public:
    // timeout: how long a command may take unless it says otherwise.
    ModemLink(SerialLine line, std::chrono::milliseconds timeout);

    AtResponse command(std::string_view command);
    AtResponse command(std::string_view command, std::chrono::milliseconds timeout);

    // The driver's view of the radio: a switch from on to off is a change to report.
    void radio_seen(bool on);
    // True once after the modem said that its card went away (its caches then mean nothing).
    bool take_card_removed();

    // Where a feed opened now starts.
    int64_t newest_change() override;
    // The changes noted after `after`, with what arrived on the line while no command ran.
    std::vector<CardChange> changes_after(int64_t after) override;

  private:
    void unsolicited(std::string_view line);

    const std::chrono::milliseconds m_timeout;
    std::mutex m_channel_mutex;
    AtChannel m_channel; // guarded by m_channel_mutex

    std::mutex m_state_mutex; // guards the members below
    bool m_radio_on = true;
    bool m_card_removed = false;
    ChangeLog m_log;
};

} // namespace handset
