// handsetctl's commands. Each takes the words after its name, checks all of them before it
// changes anything (UsageError), prints what it did or found on out, and throws OperationError,
// CardError or DeviceError when the operation fails.
#pragma once

#include "arguments.h"

#include "cellcore/card_file.h"
#include "registry/registry_tree.h"

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

// The device's card; a missing one is an OperationError that says how to make one.
handset::CardFile open_card();
// "250 slots, names of 14 bytes, numbers of 20 digits, ...".
std::string describe_profile(const handset::CardProfile& profile);

// The device's registry as far as it can be read; each line that cannot be read, and a missing
// file, is added to problems.
handset::RegistryTree read_registry(std::vector<std::string>& problems);

} // namespace handsetctl
