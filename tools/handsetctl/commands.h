// handsetctl's commands. Each takes the words after its name, checks all of them before it
// changes anything (UsageError), prints what it did or found on out, and throws OperationError,
// CardError or DeviceError when the operation fails.
#pragma once

#include "arguments.h"

#include "cellcore/card_driver_config.h"
#include "cellcore/card_file.h"
#include "poom/contact_store.h"
#include "registry/registry_tree.h"
#include "vcard_property.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace handsetctl {

void init_command(Arguments& words, std::ostream& out);
void status_command(Arguments& words, std::ostream& out);
void sim_command(Arguments& words, std::ostream& out);
void radio_command(Arguments& words, std::ostream& out);
void calls_command(Arguments& words, std::ostream& out);
void phonebook_command(Arguments& words, std::ostream& out);
void contacts_command(Arguments& words, std::ostream& out);
void registry_command(Arguments& words, std::ostream& out);
void fault_command(Arguments& words, std::ostream& out);
void extension_command(Arguments& words, std::ostream& out);
void driver_command(Arguments& words, std::ostream& out);
void modem_command(Arguments& words, std::ostream& out);
void card_command(Arguments& words, std::ostream& out);
// sim verify [--last-try]: checks the PIN read from the user against the card's PIN1.
void verify_command(Arguments& words, std::ostream& out);
// What "handsetctl fault --help" prints.
extern const char* const fault_usage;
// What "handsetctl extension --help" prints.
extern const char* const extension_usage;

// Makes library the in-process server of the class and lists the class among the Contacts
// application's context-menu extensions; clsid as the registry spells it.
void register_menu_extension(const std::u16string& clsid, const std::filesystem::path& library,
                             std::ostream& out);
// Registers Quorrel, with the Quorrel.dll in the folder of the running program, where the build
// puts the programs and the extension side by side as they are on the device.
void register_quorrel(std::ostream& out);

// How a command uses the device's files: one that only reads changes no file, not even a journal
// beside it, so that it can look at a damaged or read-only device as it is.
enum class Use { reading, changing };

// The card driver given with --modem PORT [--baud N] or --reader NAME|auto; nothing without
// either.
std::optional<handset::CardDriverConfig> driver_option(Arguments& words);
// Makes config the device's card driver and ends a service that still serves the old one.
void use_card_driver(const handset::CardDriverConfig& config, std::ostream& out);

// The device's card; a missing one is an OperationError that says how to make one.
handset::CardFile open_card(Use use);
// The device's contacts store; a missing one is an OperationError that says how to make one.
std::unique_ptr<handset::ContactStore> open_store(Use use);
// The slot an index names, once the card has said it has one (CardError bad_slot otherwise).
int card_slot(handset::CardFile& card, long long index);
// What is wrong when the card file holds records outside its slots; empty when it holds none.
std::string stray_records_problem(handset::CardFile& card);
// Throws the failure of a store operation as an OperationError.
void check_store(const handset::StoreResult& result);
// "250 slots, names of 14 bytes, numbers of 20 digits, ...".
std::string describe_profile(const handset::CardProfile& profile);

// The vCard version an export writes: --version 3.0 (the default) or 4.0.
vcard::VcardVersion vcard_version_option(Arguments& words);
// Far more than any store's contacts or card's entries; a file this big, or a device that never
// ends, is not an export of them.
inline constexpr size_t largest_vcard_file = 64 * 1024 * 1024;

// The device's registry as far as it can be read; each line that cannot be read, and a missing
// file, is added to problems.
handset::RegistryTree read_registry(std::vector<std::string>& problems);

} // namespace handsetctl
