// Helpers of the resource tests: the fixture file that windres compiled in the build, and a small
// writer of packed little-endian records for templates the fixtures cannot express (damaged
// ones above all).
#pragma once

#include "resources/resource_module.h"

#include <windef.h>

#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace handset::testing {

// The resources of fixtures/fixture.rc, read once.
const ResourceModule& fixture_resources();

// The data of one fixture resource; the test fails when it is missing.
std::vector<BYTE> fixture_resource(const WCHAR* name, const WCHAR* type);

// The whole fixture file.
std::vector<BYTE> fixture_file_bytes();

// A file in the temporary folder, named uniquely for this process, removed with the object.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::span<const BYTE> contents);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    std::u16string path() const { return m_path.u16string(); }
    std::string name() const { return m_path.string(); }

  private:
    std::filesystem::path m_path;
};

class Bytes {
  public:
    Bytes& byte(BYTE value);
    Bytes& word(WORD value);
    Bytes& dword(DWORD value);
    // UTF-16 units and, unless told otherwise, the terminator.
    Bytes& text(std::u16string_view value, bool terminated = true);
    Bytes& ordinal(WORD value) { return word(0xFFFF).word(value); }
    Bytes& align(size_t boundary);
    Bytes& append(std::span<const BYTE> more);

    // The empty entry that starts every .res file, and one entry (US English) after it.
    Bytes& res_marker();
    Bytes& res_entry(const ResourceName& type, const ResourceName& name,
                     std::span<const BYTE> data);

    std::vector<BYTE>& data() { return m_data; }
    operator std::span<const BYTE>() const { return m_data; }

  private:
    Bytes& name(const ResourceName& value);

    std::vector<BYTE> m_data;
};

} // namespace handset::testing
