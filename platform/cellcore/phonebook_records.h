// Between the SIM manager's records and the card's entries. Text fields are read up to their
// terminator or their end, whichever comes first, so an unterminated field is never read past.
#pragma once

#include "cellcore/card_types.h"
#include "cellcore/expected.h"

#include <simmgr.h>

namespace handset {

// An entry to write, or SIM_E_BADPARAM for a number the card cannot hold.
Expected<PhonebookEntry, HRESULT> entry_from_record(const SIMPHONEBOOKENTRY& record);
Expected<PhonebookEntry, HRESULT> entry_from_record(const SIMPHONEBOOKENTRYEX& record);

void fill_record(const PhonebookEntry& entry, SIMPHONEBOOKENTRY& record);

// The bytes an extended entry takes in a read buffer: the head, and a sub-record for each of its
// additional number and e-mail.
size_t extended_size(const PhonebookEntry& entry);
// Fills head and places the sub-records at room, which has extended_size(entry) - sizeof(head)
// bytes; returns the first byte after them.
uint8_t* fill_extended_record(const PhonebookEntry& entry, DWORD index, SIMPHONEBOOKENTRYEX& head,
                              uint8_t* room);

} // namespace handset
