// What a modem reports to a notified handle: the radio switched off (SIM_NOTIFY_RADIOOFF), as
// the modem says it unsolicited or as the driver finds it. The driver's own writes are not
// reported here: the card service that hosts the driver announces those to every handle itself.
#pragma once

#include "cellcore/card_backend.h"
#include "cellcore/modem_link.h"

#include <memory>

namespace handset {

class ModemChangeFeed final : public ChangeFeed {
  public:
    explicit ModemChangeFeed(std::shared_ptr<ModemLink> link);

    std::vector<CardChange> poll() override;

  private:
    std::shared_ptr<ModemLink> m_link;
    int64_t m_last_sequence;
};

} // namespace handset
