// One contact as the store keeps it: its identifier and its text properties.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace handset {

enum class ContactField {
    first_name,
    middle_name,
    last_name,
    mobile_telephone,
    home_telephone,
    business_telephone,
    email1,
    nickname,
};
inline constexpr size_t contact_field_count = 8;

struct ContactRecord {
    // 0 until the contact is first stored.
    int64_t id = 0;
    std::array<std::u16string, contact_field_count> fields;

    std::u16string& operator[](ContactField field) { return fields[static_cast<size_t>(field)]; }
    const std::u16string& operator[](ContactField field) const {
        return fields[static_cast<size_t>(field)];
    }

    // The name the contact is filed under, as the device sorts its contacts: "Last, First
    // Middle", or whichever part there is.
    std::u16string file_as() const;
};

} // namespace handset
