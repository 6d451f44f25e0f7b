// The outcome of a contacts store operation: what kind of failure, and the reason in words for
// the debug output and for handsetctl.
#pragma once

#include <string>

namespace handset {

enum class StoreStatus {
    ok,
    // There is no contacts.db.
    missing,
    // A new store was asked for where a file already is.
    exists,
    // The file is not a contacts store, is damaged, or cannot be read or written.
    unusable,
    // The quota or the disk is exhausted.
    full,
    no_memory,
    // Another process held the store longer than the busy timeout.
    busy,
    // The contact is no longer in the store.
    not_found,
};

struct StoreResult {
    StoreStatus status = StoreStatus::ok;
    std::string detail;

    bool ok() const { return status == StoreStatus::ok; }
};

} // namespace handset
