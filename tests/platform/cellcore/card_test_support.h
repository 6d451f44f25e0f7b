// A device folder of its own for each test, with a card in it, and an HSIM that closes itself.
#pragma once

#include "../base/temporary_folder.h"

#include "base/device_folder.h"
#include "cellcore/card_file.h"

#include <simmgr.h>

#include <gtest/gtest.h>

#include <algorithm>

class CardTest : public ::testing::Test {
  protected:
    void SetUp() override { handset::set_device_folder(m_folder.path()); }
    void TearDown() override { handset::set_device_folder({}); }

    std::filesystem::path card_path() const { return m_folder.path() / "sim.db"; }

    handset::CardFile create_card(const handset::CardProfile& profile = {}) {
        return handset::CardFile::create(card_path(), profile);
    }

    static handset::PhonebookEntry entry(std::u16string name, std::u16string_view number) {
        return {std::move(name), handset::DiallingNumber::parse(number).value(), {}, {}};
    }

    TemporaryFolder m_folder;
};

// Writes an entry of this name and the number 1 through the SIM library.
inline HRESULT write_named(HSIM sim, DWORD index, std::u16string_view name) {
    SIMPHONEBOOKENTRY entry{};
    entry.cbSize = sizeof entry;
    entry.dwParams = SIM_PARAM_PBE_ALL;
    std::copy(name.begin(), name.end(), entry.lpszText);
    entry.lpszAddress[0] = u'1';
    return SimWritePhonebookEntry(sim, SIM_PBSTORAGE_SIM, index, &entry);
}

class SimHandle {
  public:
    explicit SimHandle(DWORD flags = SIM_INIT_NONE, SIMCALLBACK callback = nullptr,
                       DWORD parameter = 0) {
        m_result = SimInitialize(flags, callback, parameter, &m_handle);
    }
    ~SimHandle() {
        if (m_handle) {
            SimDeinitialize(m_handle);
        }
    }
    SimHandle(const SimHandle&) = delete;
    SimHandle& operator=(const SimHandle&) = delete;

    operator HSIM() const { return m_handle; }
    HRESULT opened() const { return m_result; }
    // Closes now, as a program does, and returns SimDeinitialize's result.
    HRESULT close() { return SimDeinitialize(std::exchange(m_handle, HSIM())); }

  private:
    HSIM m_handle;
    HRESULT m_result;
};
