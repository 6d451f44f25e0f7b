// What a new device holds, so that a first start shows something to work with: a few SIM
// phonebook entries and contacts that between them touch every kind of field the programs show.
#pragma once

#include "cellcore/card_types.h"
#include "poom/contact_record.h"

#include <vector>

namespace handset {

// Five entries, one of them international. With extended, some carry a second number and an
// e-mail address.
std::vector<PhonebookEntry> sample_phonebook(bool extended);

// Eight contacts with mobile, home and business numbers in different mixes, one without any
// number, and names in Chinese and Greek.
std::vector<ContactRecord> sample_contacts();

} // namespace handset
