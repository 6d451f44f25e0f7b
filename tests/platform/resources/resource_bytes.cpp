#include "resource_bytes.h"

#include <libloaderapi.h>

#include <gtest/gtest.h>

namespace handset::testing {

const ResourceModule& fixture_resources() {
    static const std::unique_ptr<ResourceModule> module =
        ResourceModule::from_file(RESOURCES_FIXTURE_FILE);
    if (!module) {
        ADD_FAILURE() << "the fixture " << RESOURCES_FIXTURE_FILE << " does not load";
        static const ResourceModule empty;
        return empty;
    }
    return *module;
}

std::vector<BYTE> fixture_resource(const WCHAR* name, const WCHAR* type) {
    const ResEntry* entry = fixture_resources().find(name, type);
    if (entry == nullptr) {
        ADD_FAILURE() << "the fixture lacks a resource";
        return {};
    }
    return {entry->data.begin(), entry->data.end()};
}

Bytes& Bytes::byte(BYTE value) {
    m_data.push_back(value);
    return *this;
}

Bytes& Bytes::word(WORD value) {
    return byte(value & 0xFF).byte(value >> 8);
}

Bytes& Bytes::dword(DWORD value) {
    return word(value & 0xFFFF).word(value >> 16);
}

Bytes& Bytes::text(std::u16string_view value, bool terminated) {
    for (char16_t unit : value) {
        word(unit);
    }
    return terminated ? word(0) : *this;
}

Bytes& Bytes::align(size_t boundary) {
    while (m_data.size() % boundary != 0) {
        byte(0);
    }
    return *this;
}

Bytes& Bytes::append(std::span<const BYTE> more) {
    m_data.insert(m_data.end(), more.begin(), more.end());
    return *this;
}

} // namespace handset::testing
