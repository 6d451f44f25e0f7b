#include "commands.h"

#include "base/fault.h"

#include <simmgr.h>

#include <array>
#include <cstdint>
#include <filesystem>

namespace handsetctl {

namespace {

using handset::Fault;
using handset::FaultPoint;

struct Operation {
    std::string_view name;
    FaultPoint point;
};

// card-removed is every SIM call answering as a card that is not there.
constexpr std::array<Operation, 7> operations{{
    {"read", FaultPoint::phonebook_read},
    {"write", FaultPoint::phonebook_write},
    {"delete", FaultPoint::phonebook_delete},
    {"card-removed", FaultPoint::sim_call},
    {"contacts-read", FaultPoint::contacts_read},
    {"contacts-save", FaultPoint::contacts_save},
    {"contacts-delete", FaultPoint::contacts_delete},
}};

constexpr int64_t most_operations = 1'000'000'000;
constexpr int64_t card_default_error = static_cast<uint32_t>(SIM_E_MEMORYFAILURE);
constexpr std::string_view contacts_default_error = "damaged";

FaultPoint operation_named(const std::string& name) {
    for (const Operation& operation : operations) {
        if (operation.name == name) {
            return operation.point;
        }
    }
    throw UsageError("unknown fault operation '" + name + "' (see handsetctl fault --help)");
}

// An HRESULT that says failure, kept as its unsigned 32 bits.
int64_t card_error(const std::string& text) {
    const long long code = parse_integer(text, "--error");
    if (code < 0x80000000LL || code > 0xFFFFFFFFLL) {
        throw UsageError("--error must be a failure HRESULT from 0x80000000 to 0xFFFFFFFF, such "
                         "as 0x88000340, not '" +
                         text + "'");
    }
    return code;
}

int64_t storage_error(std::string_view name) {
    std::string known;
    for (const handset::StorageFaultName& failure : handset::storage_fault_names()) {
        if (failure.name == name) {
            return failure.code;
        }
        known += (known.empty() ? "" : ", ") + std::string(failure.name);
    }
    throw UsageError("--error of a contacts fault must be one of " + known + ", not '" +
                     std::string(name) + "'");
}

bool is_phonebook_point(FaultPoint point) {
    return point == FaultPoint::phonebook_read || point == FaultPoint::phonebook_write ||
           point == FaultPoint::phonebook_delete;
}

// Every word is checked here, before any file is touched; whether the slot, given in slot_index,
// is on the card is for the card to say.
Fault fault_from(Arguments& words, std::optional<long long>& slot_index) {
    const std::string name = words.word("the operation");
    const std::optional<std::string> slot = words.option("--slot");
    const std::optional<std::string> nth = words.option("--nth");
    const std::optional<std::string> after = words.option("--after");
    const std::optional<std::string> error = words.option("--error");
    words.finish();
    Fault fault;
    fault.point = operation_named(name);
    const bool card_removed = fault.point == FaultPoint::sim_call;
    if (nth && after) {
        throw UsageError("give --nth or --after, not both");
    }
    if (slot) {
        if (!is_phonebook_point(fault.point)) {
            throw UsageError("--slot is for read, write and delete faults");
        }
        slot_index = parse_index(*slot, "--slot");
    }
    if (nth) {
        if (card_removed) {
            throw UsageError("a removed card stays removed: give --after, not --nth");
        }
        fault.nth = parse_integer(*nth, "--nth", 1, most_operations);
    }
    if (after) {
        fault.after = parse_integer(*after, "--after", 0, most_operations);
    }
    if (card_removed) {
        if (error) {
            throw UsageError("card-removed answers 0x88000207 and takes no --error");
        }
        fault.error = static_cast<uint32_t>(SIM_E_SIMNOTINSERTED);
    } else if (handset::is_sim_point(fault.point)) {
        fault.error = error ? card_error(*error) : card_default_error;
    } else {
        fault.error = storage_error(error.value_or(std::string(contacts_default_error)));
    }
    return fault;
}

void add(Arguments& words, std::ostream& out) {
    std::optional<long long> slot_index;
    Fault fault = fault_from(words, slot_index);
    if (handset::is_sim_point(fault.point)) {
        handset::CardFile card = open_card(Use::changing);
        if (slot_index) {
            fault.slot = card_slot(card, *slot_index);
        }
        card.add_fault(fault);
        out << "added card fault " << fault.id;
    } else {
        check_store(open_store(Use::changing)->add_fault(fault));
        out << "added contacts fault " << fault.id;
    }
    out << ": " << handset::describe_fault(fault) << "\n";
}

void print(std::ostream& out, std::string_view heading, const std::vector<Fault>& faults) {
    out << heading << ": " << (faults.empty() ? "none" : std::to_string(faults.size())) << "\n";
    for (const Fault& fault : faults) {
        out << "  " << fault.id << "  " << handset::describe_fault(fault) << " (counted "
            << fault.counted << ", struck " << fault.fired << ")\n";
    }
}

bool file_exists(const std::filesystem::path& file) {
    std::error_code ignored;
    return std::filesystem::exists(file, ignored);
}

// A device without one of the files has no faults kept in it.
void list(Arguments& words, std::ostream& out) {
    words.finish();
    std::vector<Fault> faults;
    if (file_exists(handset::CardFile::default_path())) {
        faults = open_card(Use::reading).faults();
    }
    print(out, "card faults (sim.db)", faults);
    faults.clear();
    if (file_exists(handset::ContactStore::default_path())) {
        check_store(open_store(Use::reading)->faults(faults));
    }
    print(out, "contacts faults (contacts.db)", faults);
}

void clear(Arguments& words, std::ostream& out) {
    words.finish();
    int64_t cleared = 0;
    if (file_exists(handset::CardFile::default_path())) {
        cleared += open_card(Use::changing).clear_faults();
    }
    if (file_exists(handset::ContactStore::default_path())) {
        int64_t contacts = 0;
        check_store(open_store(Use::changing)->clear_faults(contacts));
        cleared += contacts;
    }
    out << "cleared " << cleared << (cleared == 1 ? " fault" : " faults") << "\n";
}

} // namespace

const char* const fault_usage =
    R"(usage: handsetctl [--device DIR] fault add OPERATION [--slot N] [--nth N | --after N]
                                             [--error CODE]
       handsetctl [--device DIR] fault list
       handsetctl [--device DIR] fault clear
Makes the device fail chosen operations of the programs that use it, in whatever process they
run; handsetctl's own commands are not affected. A fault counts the operations it matches from
the moment it is added, over all processes together, says "fault: ..." in the debug output each
time it strikes, and stays until cleared.

OPERATION
  read | write | delete   a SIM phonebook read, write or delete; with --slot N only those of
                          slot N
  card-removed            every SIM call, answered as with no card (0x88000207)
  contacts-read | contacts-save | contacts-delete
                          listing, saving (adding or changing) or deleting contacts
WHEN (without either, every matching operation fails)
  --nth N                 only the Nth matching operation from now
  --after N               every matching operation after the first N
CODE
  for SIM operations, the HRESULT to answer: 0x88000340 memory full, 0x88000343 memory failure
  (the default), 0x88000202 busy, or any other from 0x80000000 on;
  for contacts operations: storage-full, busy, damaged (the default) or no-memory

Card faults are kept in sim.db, contacts faults in contacts.db.
examples:
  handsetctl fault add write --nth 3 --error 0x88000340
  handsetctl fault add read --slot 7
  handsetctl fault add contacts-save --nth 1 --error storage-full
  handsetctl fault add card-removed --after 5
)";

void fault_command(Arguments& words, std::ostream& out) {
    const std::string action = words.word("the fault command");
    if (action == "add") {
        add(words, out);
    } else if (action == "list") {
        list(words, out);
    } else if (action == "clear") {
        clear(words, out);
    } else {
        throw UsageError("unknown fault command '" + action + "'");
    }
}

} // namespace handsetctl
