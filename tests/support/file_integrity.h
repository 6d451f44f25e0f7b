// SQLite's full integrity check of a device file, through the platform's storage layer: "ok", or
// the first problem it found.
#pragma once

#include "base/sqlite_database.h"

#include <filesystem>
#include <string>

inline std::string integrity_of(const std::filesystem::path& file) {
    handset::SqliteDatabase database(file, handset::SqliteDatabase::Mode::existing);
    handset::SqliteStatement check = database.prepare("PRAGMA integrity_check");
    check.step();
    return check.text(0);
}
