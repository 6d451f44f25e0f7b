// The feed of a driver whose link to the card notes changes for every feed opened on it: a
// modem's radio switched off, a reader's card removed or put back. The driver's own writes are
// not reported here: the card service that hosts the driver announces those to every handle
// itself.
#pragma once

#include "cellcore/card_backend.h"
#include "cellcore/change_log.h"

#include <memory>

namespace handset {

class LinkChangeFeed final : public ChangeFeed {
  public:
    explicit LinkChangeFeed(std::shared_ptr<ChangeSource> source);

    std::vector<CardChange> poll() override;

  private:
    std::shared_ptr<ChangeSource> m_source;
    int64_t m_last_sequence;
};

} // namespace handset
