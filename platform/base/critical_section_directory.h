// Where the locks of the program's CRITICAL_SECTION records live, keyed by the record's address.
//
// They live here rather than in the record: a thread may still be inside or waiting for a section
// when another deletes it (a worker holding a lock while the program exits). Each user holds its
// own reference, so deleting only forgets the address and the lock goes with its last user.
#pragma once

#include "base/critical_section.h"

#include <winbase.h>

#include <memory>
#include <mutex>
#include <unordered_map>

namespace handset {

class CriticalSectionDirectory {
  public:
    static CriticalSectionDirectory& instance();

    void create(const CRITICAL_SECTION* key);
    std::shared_ptr<CriticalSection> find(const CRITICAL_SECTION* key);
    std::shared_ptr<CriticalSection> forget(const CRITICAL_SECTION* key);

  private:
    CriticalSectionDirectory() = default;

    std::mutex m_mutex;
    std::unordered_map<const CRITICAL_SECTION*, std::shared_ptr<CriticalSection>> m_sections;
};

} // namespace handset
