#include "base/fault.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace handset {

namespace {

constexpr std::array<FaultPoint, 7> all_points = {
    FaultPoint::sim_call,         FaultPoint::phonebook_read, FaultPoint::phonebook_write,
    FaultPoint::phonebook_delete, FaultPoint::contacts_read,  FaultPoint::contacts_save,
    FaultPoint::contacts_delete,
};

struct PointNames {
    // As stored in the faults table: kept stable across versions.
    std::string_view key;
    // As written in the debug output and by handsetctl.
    std::string_view label;
};

PointNames names_of(FaultPoint point) {
    switch (point) {
    case FaultPoint::sim_call:
        return {"sim-call", "SIM call"};
    case FaultPoint::phonebook_read:
        return {"phonebook-read", "phonebook read"};
    case FaultPoint::phonebook_write:
        return {"phonebook-write", "phonebook write"};
    case FaultPoint::phonebook_delete:
        return {"phonebook-delete", "phonebook delete"};
    case FaultPoint::contacts_read:
        return {"contacts-read", "contacts read"};
    case FaultPoint::contacts_save:
        return {"contacts-save", "contacts save"};
    case FaultPoint::contacts_delete:
        return {"contacts-delete", "contacts delete"};
    }
    return {"", "operation"};
}

std::string subject(const Fault& fault) {
    std::string text(names_of(fault.point).label);
    if (fault.slot != 0) {
        text += " of slot " + std::to_string(fault.slot);
    }
    return text;
}

std::string answer(const Fault& fault) {
    if (is_sim_point(fault.point)) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08llX",
                      static_cast<unsigned long long>(fault.error & 0xFFFFFFFF));
        return code;
    }
    for (const StorageFaultName& known : storage_fault_names()) {
        if (known.code == fault.error) {
            std::string words(known.name);
            std::replace(words.begin(), words.end(), '-', ' ');
            return words;
        }
    }
    return "SQLite error " + std::to_string(fault.error);
}

} // namespace

std::string_view fault_point_key(FaultPoint point) {
    return names_of(point).key;
}

std::optional<FaultPoint> fault_point_from_key(std::string_view key) {
    for (FaultPoint point : all_points) {
        if (fault_point_key(point) == key) {
            return point;
        }
    }
    return std::nullopt;
}

bool is_sim_point(FaultPoint point) {
    switch (point) {
    case FaultPoint::sim_call:
    case FaultPoint::phonebook_read:
    case FaultPoint::phonebook_write:
    case FaultPoint::phonebook_delete:
        return true;
    case FaultPoint::contacts_read:
    case FaultPoint::contacts_save:
    case FaultPoint::contacts_delete:
        return false;
    }
    return false;
}

const std::vector<StorageFaultName>& storage_fault_names() {
    static const std::vector<StorageFaultName> names = {
        {"storage-full", SQLITE_FULL},
        {"busy", SQLITE_BUSY},
        {"damaged", SQLITE_CORRUPT},
        {"no-memory", SQLITE_NOMEM},
    };
    return names;
}

std::string describe_fault(const Fault& fault) {
    if (fault.nth > 0) {
        return subject(fault) + " #" + std::to_string(fault.nth) + " answers " + answer(fault);
    }
    const std::string after =
        fault.after > 0 ? " after the first " + std::to_string(fault.after) : "";
    return "every " + subject(fault) + after + " answers " + answer(fault);
}

std::string describe_strike(const Fault& fault) {
    return "fault: " + subject(fault) + " #" + std::to_string(fault.counted) + " answers " +
           answer(fault);
}

} // namespace handset
