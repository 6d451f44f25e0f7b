// The changes a driver's link notes for the feeds opened on it, numbered in the order they were
// noted. Each feed remembers the last number it reported; the log keeps only the newest ones, as
// a feed is polled ten times a second and never falls far behind. Safe to use from any thread.
#pragma once

#include "cellcore/card_types.h"

#include <deque>
#include <mutex>
#include <vector>

namespace handset {

class ChangeLog {
  public:
    explicit ChangeLog(size_t kept) : m_kept(kept) {}

    void note(uint32_t code, int slot);
    // Where a feed opened now starts.
    int64_t newest();
    std::vector<CardChange> after(int64_t sequence);

  private:
    const size_t m_kept;
    std::mutex m_mutex; // guards the members below
    std::deque<CardChange> m_changes;
    int64_t m_sequence = 0;
};

// What a LinkChangeFeed polls.
class ChangeSource {
  public:
    virtual ~ChangeSource() = default;
    virtual int64_t newest_change() = 0;
    virtual std::vector<CardChange> changes_after(int64_t after) = 0;
};

} // namespace handset
