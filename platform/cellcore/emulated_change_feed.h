// What the emulated card reports to a notified handle: the changes that any process logged in
// sim.db after the feed was opened. A poll costs one "PRAGMA data_version" while nothing changed.
#pragma once

#include "cellcore/card_backend.h"
#include "cellcore/card_file.h"

#include <filesystem>
#include <optional>
#include <string>

namespace handset {

class EmulatedChangeFeed final : public ChangeFeed {
  public:
    explicit EmulatedChangeFeed(std::filesystem::path file);

    std::vector<CardChange> poll() override;

  private:
    // Opens the card and takes its newest change as the starting point.
    bool connect();
    void complain(const CardError& error);

    std::filesystem::path m_file;
    std::optional<CardFile> m_card;
    int64_t m_last_sequence = 0;
    int64_t m_data_version = 0;
    std::string m_complaint;
};

} // namespace handset
