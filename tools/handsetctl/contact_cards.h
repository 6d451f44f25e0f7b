// Between vCards and the contacts store's records: a card gives its name (N, or FN split), its
// nickname, the first mobile, home and work number and the first e-mail address, each the
// preferred one where the card prefers one; everything else it holds is counted as skipped.
#pragma once

#include "card_fields.h"

#include "poom/contact_record.h"

#include <optional>

namespace handsetctl {

struct CardContact {
    handset::ContactRecord contact;
    SkippedProperties skipped;
};

// Nothing when the card holds nothing the store keeps: no name, number or e-mail address.
std::optional<CardContact> contact_from_card(const vcard::VcardCard& card);

void write_contact(vcard::VcardWriter& writer, const handset::ContactRecord& contact);

// Two contacts with the same key are the same person: the same names and numbers.
std::u16string duplicate_key(const handset::ContactRecord& contact);

} // namespace handsetctl
