// Reads the text of a .reg file (REGEDIT4 or "Windows Registry Editor Version 5.00") into a
// registry tree:
//   [HKEY_LOCAL_MACHINE\Software\Nemora]   a key (created with the keys above it)
//   [-HKEY_LOCAL_MACHINE\Software\Old]     removes a key read earlier, with its subkeys
//   "Version"="1.0.0.0"                    REG_SZ; \" stands for a quote, \\ for a backslash
//   @="text"                               the key's default value
//   "Status"=dword:0000abcd                REG_DWORD, one to eight hex digits
//   "Blob"=hex:01,02,\                     REG_BINARY, continued on the next line by a
//     03                                   trailing backslash
//   "Path"=hex(2):41,00,00,00              any type by number; the bytes are kept as written
//   "Gone"=-                               removes a value read earlier
//   ; comment
// The text is UTF-8 (a UTF-8 or UTF-16LE byte order mark is honoured). A line the parser cannot
// read is reported through the complaint callback with its line number and skipped, and the
// rest of the file is still read; the parser never fails as a whole.
#pragma once

#include "registry/registry_tree.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

class RegFileParser {
  public:
    struct Problem {
        size_t line_number;
        std::string_view text;
        // False only for a missing header: the tree then still holds everything the file says.
        bool loses_content;
    };
    using Complaint = std::function<void(const Problem& problem)>;

    explicit RegFileParser(Complaint complain) : m_complain(std::move(complain)) {}

    RegistryTree parse(std::string_view file);

  private:
    enum class Section { none_yet, open, ignored };

    bool next_line(std::u16string& line);
    void read_line(std::u16string_view line);
    void read_key_line(std::u16string_view line);
    void read_value_line(std::u16string_view line);
    std::optional<RegistryValue> read_data(std::u16string_view data);
    std::optional<RegistryValue> read_hex(DWORD type, std::u16string_view data);
    void complain(std::string_view problem, bool loses_content = true) const;

    Complaint m_complain;
    RegistryTree m_tree;
    std::vector<std::string_view> m_lines;
    size_t m_next_line = 0;
    size_t m_line_number = 0;
    bool m_header_checked = false;
    Section m_section = Section::none_yet;
    RegistryKey* m_key = nullptr;
};

} // namespace handset
