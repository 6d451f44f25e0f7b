// Feeds arbitrary commands to the virtual card, as a reader could send them, over a USIM card
// with entries in two sets, e-mails and second numbers, and PIN1 enabled. The input is a run of
// commands, each after a byte that gives its length, so that a run can select a file and then
// read, write or verify in it; every tenth command resets the card. Whatever arrives, the card must
// answer every command with at least a status word, and neither crash nor read or write out of
// bounds.
#include "virtual_sim.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace {

std::filesystem::path card_path() {
    static const std::filesystem::path path = [] {
        std::string pattern = std::filesystem::temp_directory_path() / "virtual-sim-fuzz-XXXXXX";
        return std::filesystem::path(::mkdtemp(pattern.data())) / "sim.db";
    }();
    return path;
}

void make_card() {
    handset::CardProfile profile;
    profile.slots = 300;
    profile.extended = {20, 20, 1, 1};
    handset::CardFile card = handset::CardFile::create(card_path(), profile);
    card.update_state([](handset::CardState& state) { state.lock = handset::PinLock::pin; });
    const handset::PhonebookEntry entry{u"Ann", handset::DiallingNumber::parse(u"+4930").value(),
                                        handset::DiallingNumber::parse(u"0171").value(),
                                        u"ann@example.org"};
    for (int slot : {1, 2, 254, 255, 300}) {
        card.store(slot, entry, handset::EntryFields::all);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    make_card();
    handset::CardFile card = handset::CardFile::open(card_path());
    handsetctl::VirtualSim sim(card, "1234");
    handset::ByteView input(data, size);
    for (int count = 1; !input.empty(); ++count) {
        const handset::ByteView command = input.substr(1, input[0]);
        input.remove_prefix(1 + command.size());
        if (count % 10 == 0) {
            sim.reset();
        }
        sim.follow_card();
        if (sim.respond(command).size() < 2) {
            std::abort();
        }
    }
    return 0;
}
