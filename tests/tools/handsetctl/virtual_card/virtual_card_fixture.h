// A card file of the test's own and the virtual card over it, spoken to in hexadecimal.
#pragma once

#include "../../../platform/base/temporary_folder.h"

#include "virtual_sim.h"

#include "cellcore/hex_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

// Pieces of hexadecimal text as one. Joined out of line: GCC 12 at -O2 warns wrongly
// (array-bounds) about chains of std::string + literal inlined into a test body.
[[gnu::noinline]] inline std::string hex(std::initializer_list<std::string_view> pieces) {
    std::string all;
    for (std::string_view piece : pieces) {
        all.append(piece);
    }
    return all;
}

// Unused bytes of a record, in hexadecimal.
inline std::string padding(size_t bytes) {
    return std::string(2 * bytes, 'F');
}

class VirtualCardTest : public ::testing::Test {
  protected:
    static handset::CardProfile usim_profile(int slots = 250) {
        handset::CardProfile profile;
        profile.slots = slots;
        profile.extended = {20, 30, 1, 1};
        return profile;
    }

    // Makes the card and the virtual card over it.
    void make(const handset::CardProfile& profile = {}) {
        handset::CardFile::create(path(), profile);
        m_card.emplace(handset::CardFile::open(path()));
        m_sim.emplace(*m_card, "1234");
    }

    std::filesystem::path path() const { return m_folder.path() / "sim.db"; }
    // Another connection to the card, as another process of the handset has.
    handset::CardFile handset_side() const { return handset::CardFile::open(path()); }

    std::string send(std::initializer_list<std::string_view> pieces) { return send(hex(pieces)); }
    // The answer to a command in hexadecimal, spaces allowed.
    std::string send(std::string command) {
        std::erase(command, ' ');
        m_sim->follow_card();
        return handset::to_hex(m_sim->respond(handset::from_hex(command).value()));
    }

    static std::string status_of(const std::string& answer) {
        return answer.substr(answer.size() - 4);
    }
    static std::string data_of(const std::string& answer) {
        return answer.substr(0, answer.size() - 4);
    }

    // Selects a path of files from the MF on a UICC, without asking for their FCP.
    void select_path(const std::string& path) {
        const std::string path_hex = [&] {
            std::string bytes = path;
            std::erase(bytes, ' ');
            return bytes;
        }();
        const std::string length =
            handset::to_hex(handset::Bytes{static_cast<uint8_t>(path_hex.size() / 2)});
        ASSERT_EQ(send({"00A4080C", length, path_hex}), "9000") << path;
    }

    // The padded PIN as a VERIFY carries it.
    static std::string pin(const std::string& digits) {
        std::string hex;
        for (char digit : digits) {
            hex += handset::to_hex(handset::Bytes{static_cast<uint8_t>(digit)});
        }
        return hex.append(16 - hex.size(), 'F');
    }

    void set_lock(handset::PinLock lock) {
        handset_side().update_state([&](handset::CardState& state) { state.lock = lock; });
    }

    TemporaryFolder m_folder;
    std::optional<handset::CardFile> m_card;
    std::optional<handsetctl::VirtualSim> m_sim;
};
