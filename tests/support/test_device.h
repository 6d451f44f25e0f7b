// A throw-away handset for tests of the program's own code: a device folder with a registry and
// a SIM card, made current for this process, and the debug output captured while it lives.
#pragma once

#include "base/debug_output.h"
#include "base/device_folder.h"
#include "cellcore/card_file.h"
#include "registry/registry_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

class TestDevice {
  public:
    // A healthy phone: the status value has none of the no-card, invalid or radio-off bits.
    static constexpr DWORD healthy_status = 0x20;

    TestDevice() {
        std::string pattern = (std::filesystem::temp_directory_path() / "telvane-test-XXXXXX");
        m_folder = ::mkdtemp(pattern.data());
        handset::set_device_folder(m_folder);
        set_dword(u"System\\State\\Phone", u"Status", healthy_status);
    }

    ~TestDevice() {
        handset::set_device_folder({});
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }

    handset::CardFile card(const handset::CardProfile& profile = {}) {
        return handset::CardFile::create(m_folder / "sim.db", profile);
    }

    void set_dword(std::u16string_view key, std::u16string_view name, DWORD value) {
        set_value(key, name, handset::RegistryValue::dword(value));
    }

    void set_string(std::u16string_view key, std::u16string_view name, std::u16string_view text) {
        set_value(key, name, handset::RegistryValue::string(text));
    }

    void delete_value(std::u16string_view key, std::u16string_view name) {
        handset::delete_registry_value(m_folder / "registry.reg",
                                       handset::RegistryRoot::local_machine, key, name);
    }

    std::vector<std::string> trace() const { return m_capture.lines(); }

    // How many captured lines contain the text.
    int count_lines(const std::string& text) const {
        std::vector<std::string> lines = trace();
        return static_cast<int>(
            std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
                return line.find(text) != std::string::npos;
            }));
    }

    bool has_line(const std::string& text) const { return count_lines(text) > 0; }

  private:
    void set_value(std::u16string_view key, std::u16string_view name,
                   handset::RegistryValue value) {
        auto edit = handset::set_registry_value(m_folder / "registry.reg",
                                                handset::RegistryRoot::local_machine, key, name,
                                                std::move(value));
        ASSERT_EQ(edit.status, handset::RegistryEdit::Status::changed) << edit.error;
    }

    std::filesystem::path m_folder;
    handset::DebugCapture m_capture;
};

// A phonebook entry for the card's control API.
inline handset::PhonebookEntry sim_entry(std::u16string name, std::u16string_view number) {
    handset::PhonebookEntry entry;
    entry.name = std::move(name);
    entry.number = *handset::DiallingNumber::parse(number);
    return entry;
}

// A card with the extended phonebook: room for one additional number and one e-mail address of
// these sizes a record; a size of 0 leaves the field out.
inline handset::CardProfile extended_profile(int number2_digits = 20, int email_bytes = 40) {
    handset::CardProfile profile;
    profile.extended.additional_number_digits = number2_digits;
    profile.extended.additional_number_count = 1;
    profile.extended.email_bytes = email_bytes;
    profile.extended.email_count = 1;
    return profile;
}
