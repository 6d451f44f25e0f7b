// A second process for the cellcore tests, changing the card of a device folder the way handsetctl
// or another program would:
//   sim_card_tool DEVICE add NAME NUMBER   store an entry in the first free slot
//   sim_card_tool DEVICE radio-off         switch the radio off
//   sim_card_tool DEVICE write-loop        write entries through the SIM library until killed,
//                                          printing the number of each write reported done
//   sim_card_tool DEVICE write-many N      write N entries through the SIM library, then print
//                                          how many of them were refused
#include "base/device_folder.h"
#include "base/utf.h"
#include "cellcore/card_file.h"

#include <simmgr.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HRESULT write_numbered(HSIM sim, int written) {
    SIMPHONEBOOKENTRY entry{};
    entry.cbSize = sizeof entry;
    entry.dwParams = SIM_PARAM_PBE_ALL;
    const std::u16string name = handset::utf8_to_utf16("W" + std::to_string(written));
    std::copy(name.begin(), name.end(), entry.lpszText);
    entry.lpszAddress[0] = u'1';
    const DWORD slot = static_cast<DWORD>(written % 250 + 1);
    return SimWritePhonebookEntry(sim, SIM_PBSTORAGE_SIM, slot, &entry);
}

int write_loop() {
    HSIM sim;
    if (SimInitialize(SIM_INIT_NONE, nullptr, 0, &sim) != S_OK) {
        return 1;
    }
    for (int written = 0;; ++written) {
        if (write_numbered(sim, written) != S_OK) {
            return 1;
        }
        std::printf("%d\n", written);
        std::fflush(stdout);
    }
}

int write_many(int count) {
    HSIM sim;
    if (SimInitialize(SIM_INIT_NONE, nullptr, 0, &sim) != S_OK) {
        return 1;
    }
    int refused = 0;
    for (int written = 0; written < count; ++written) {
        refused += write_numbered(sim, written) != S_OK;
    }
    std::printf("%d\n", refused);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: sim_card_tool DEVICE add NAME NUMBER | radio-off | write-loop | "
                   "write-many N\n",
                   stderr);
        return 2;
    }
    handset::set_device_folder(argv[1]);
    const std::string command = argv[2];
    try {
        if (command == "add" && argc == 5) {
            handset::CardFile card = handset::CardFile::open(handset::CardFile::default_path());
            const auto number = handset::DiallingNumber::parse(handset::utf8_to_utf16(argv[4]));
            if (!number) {
                std::fputs("sim_card_tool: not a number\n", stderr);
                return 2;
            }
            const int slot = card.store(0, {handset::utf8_to_utf16(argv[3]), *number, {}, {}},
                                        handset::EntryFields::all);
            std::printf("%d\n", slot);
            return 0;
        }
        if (command == "radio-off") {
            handset::CardFile::open(handset::CardFile::default_path())
                .update_state([](handset::CardState& state) { state.radio_on = false; });
            return 0;
        }
        if (command == "write-loop") {
            return write_loop();
        }
        if (command == "write-many" && argc == 4) {
            return write_many(std::atoi(argv[3]));
        }
    } catch (const handset::CardError& error) {
        std::fprintf(stderr, "sim_card_tool: %s\n", error.what());
        return 1;
    }
    std::fputs("sim_card_tool: unknown command\n", stderr);
    return 2;
}
