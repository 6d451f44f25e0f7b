// Helpers of the resource tests: the fixture file that windres compiled in the build, and a small
// writer of packed little-endian records for templates the fixtures cannot express (damaged
// ones above all).
#pragma once

#include "base/debug_output.h"
#include "resources/resource_module.h"

#include <windef.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace handset::testing {

// The resources of fixtures/fixture.rc, read once.
const ResourceModule& fixture_resources();

// The data of one fixture resource; the test fails when it is missing.
std::vector<BYTE> fixture_resource(const WCHAR* name, const WCHAR* type);

// A fixture resource through its parser; the test fails when either fails.
template <typename Parse>
auto parse_fixture(WORD id, const WCHAR* type, Parse parse) {
    auto parsed = parse(fixture_resource(reinterpret_cast<const WCHAR*>(uintptr_t{id}), type));
    EXPECT_TRUE(parsed.has_value()) << "fixture resource " << id;
    return parsed.value_or(typename decltype(parsed)::value_type{});
}

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

struct DamagedInput {
    const char* what;
    Bytes bytes;
    const char* complaint; // part of the one debug line that the refusal writes
};

template <typename Parse>
void expect_refused_with_reason(const std::vector<DamagedInput>& inputs, Parse parse) {
    for (const DamagedInput& input : inputs) {
        DebugCapture capture;
        EXPECT_FALSE(parse(input.bytes).has_value()) << input.what;
        ASSERT_EQ(capture.lines().size(), 1u) << input.what;
        EXPECT_THAT(capture.lines()[0], ::testing::HasSubstr(input.complaint)) << input.what;
    }
}

// Every proper prefix of a record is refused, with one debug line.
template <typename Parse>
void expect_every_truncation_refused(std::span<const BYTE> data, Parse parse) {
    for (size_t size = 0; size < data.size(); ++size) {
        DebugCapture capture;
        EXPECT_FALSE(parse(data.first(size)).has_value()) << "cut to " << size << " bytes";
        EXPECT_EQ(capture.lines().size(), 1u) << "cut to " << size << " bytes";
    }
}

} // namespace handset::testing
