#include "resource_bytes.h"

#include <libloaderapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <unistd.h>

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

std::vector<BYTE> fixture_file_bytes() {
    std::ifstream file(RESOURCES_FIXTURE_FILE, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TemporaryFile::TemporaryFile(std::span<const BYTE> contents) {
    static int count = 0;
    m_path =
        std::filesystem::temp_directory_path() /
        ("resources_test_" + std::to_string(getpid()) + "_" + std::to_string(count++) + ".res");
    std::ofstream(m_path, std::ios::binary)
        .write(reinterpret_cast<const char*>(contents.data()), std::streamsize(contents.size()));
}

TemporaryFile::~TemporaryFile() {
    std::filesystem::remove(m_path);
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

Bytes& Bytes::name(const ResourceName& value) {
    return value.is_ordinal() ? ordinal(value.ordinal) : text(value.text);
}

Bytes& Bytes::res_marker() {
    return dword(0).dword(32).ordinal(0).ordinal(0).dword(0).word(0).word(0).dword(0).dword(0);
}

Bytes& Bytes::res_entry(const ResourceName& type, const ResourceName& name_,
                        std::span<const BYTE> data) {
    size_t start = m_data.size();
    dword(static_cast<DWORD>(data.size())).dword(0).name(type).name(name_).align(4);
    dword(0).word(0x1030).word(0x0409).dword(0).dword(0);
    DWORD header_size = static_cast<DWORD>(m_data.size() - start);
    for (int i = 0; i < 4; ++i) {
        m_data[start + 4 + i] = static_cast<BYTE>(header_size >> (8 * i));
    }
    return append(data).align(4);
}

} // namespace handset::testing
