// Ways a contacts.db gets damaged or made to fail, for the tests that check the store fails
// cleanly.
#pragma once

#include "base/fault.h"

#include <filesystem>
#include <fstream>
#include <string>

// Overwrites every page but the first: the header still reads as a contacts store, and the
// damage shows only when the contacts are read.
inline void scribble_over_pages(const std::filesystem::path& file) {
    constexpr std::streamoff page_size = 4096;
    const auto size = static_cast<std::streamoff>(std::filesystem::file_size(file));
    std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(page_size);
    const std::string garbage(static_cast<size_t>(size - page_size), '\x5A');
    out.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
}

inline void write_file(const std::filesystem::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
}

// A contacts fault as handsetctl sets it, its answer named as on the command line.
inline handset::Fault contacts_fault(handset::FaultPoint point, std::string_view error,
                                     int64_t nth = 0) {
    handset::Fault fault;
    fault.point = point;
    fault.nth = nth;
    for (const handset::StorageFaultName& known : handset::storage_fault_names()) {
        if (known.name == error) {
            fault.error = known.code;
        }
    }
    return fault;
}
