#include "cellcore/entry_codec.h"

#include "cellcore/adn_record.h"
#include "cellcore/alpha_identifier.h"
#include "cellcore/card_error.h"

#include <string>

namespace handset {

namespace {

[[noreturn]] void refuse_name(const char* field, std::u16string_view text, int limit) {
    // The card pads its text fields with 0xFFFF, so no field can hold that character: it would
    // end the text when read back.
    if (text.find(u'\uFFFF') != std::u16string_view::npos) {
        throw CardError(CardFault::bad_character,
                        std::string("the ") + field + " holds U+FFFF, which no card can store");
    }
    throw CardError(CardFault::name_too_long, std::string("the ") + field + " needs " +
                                                  std::to_string(alpha_bytes(text).size()) +
                                                  " bytes; the card holds " +
                                                  std::to_string(limit));
}

[[noreturn]] void refuse_number(const char* field, NumberError error, int limit) {
    switch (error) {
    case NumberError::bad_character:
        throw CardError(CardFault::bad_number,
                        std::string("the ") + field +
                            " may hold only digits, '*', '#', 'p' and a leading '+'");
    case NumberError::too_long:
        throw CardError(CardFault::number_too_long, std::string("the ") + field +
                                                        " has more than " + std::to_string(limit) +
                                                        " digits");
    }
    throw CardError(CardFault::bad_number, std::string("the ") + field + " is not a number");
}

Bytes encode_record(const PhonebookEntry& entry, const CardProfile& profile) {
    Expected<Bytes, AdnError> record =
        encode_adn(AdnRecord{entry.name, entry.number}, static_cast<size_t>(profile.name_bytes),
                   static_cast<size_t>(profile.number_digits));
    if (record) {
        return *record;
    }
    switch (record.error()) {
    case AdnError::name_too_long:
        refuse_name("name", entry.name, profile.name_bytes);
    case AdnError::number_too_long:
        refuse_number("number", NumberError::too_long, profile.number_digits);
    case AdnError::bad_number_character:
        refuse_number("number", NumberError::bad_character, profile.number_digits);
    }
    refuse_number("number", NumberError::bad_character, profile.number_digits);
}

std::optional<Bytes> encode_additional_number(const PhonebookEntry& entry,
                                              const ExtendedCapabilities& extended) {
    if (!entry.additional_number || entry.additional_number->empty()) {
        return std::nullopt;
    }
    if (!extended.holds_additional_number()) {
        throw CardError(CardFault::field_not_held, "the card keeps no additional numbers");
    }
    Expected<Bytes, NumberError> block =
        entry.additional_number->encode(static_cast<size_t>(extended.additional_number_digits));
    if (!block) {
        refuse_number("additional number", block.error(), extended.additional_number_digits);
    }
    return *block;
}

std::optional<Bytes> encode_email(const PhonebookEntry& entry,
                                  const ExtendedCapabilities& extended) {
    if (!entry.email || entry.email->empty()) {
        return std::nullopt;
    }
    if (!extended.holds_email()) {
        throw CardError(CardFault::field_not_held, "the card keeps no e-mail addresses");
    }
    std::optional<Bytes> field =
        encode_alpha(*entry.email, static_cast<size_t>(extended.email_bytes));
    if (!field) {
        refuse_name("e-mail address", *entry.email, extended.email_bytes);
    }
    return field;
}

} // namespace

EncodedEntry encode_entry(const PhonebookEntry& entry, const CardProfile& profile) {
    if (entry.empty()) {
        throw CardError(CardFault::empty_entry, "an entry needs a name or a number");
    }
    return EncodedEntry{encode_record(entry, profile),
                        encode_additional_number(entry, profile.extended),
                        encode_email(entry, profile.extended)};
}

std::optional<PhonebookEntry> decode_entry(const EncodedEntry& encoded) {
    std::optional<AdnRecord> record = decode_adn(encoded.record);
    if (!record) {
        return std::nullopt;
    }
    PhonebookEntry entry{std::move(record->name), std::move(record->number), {}, {}};
    if (encoded.additional_number) {
        entry.additional_number = DiallingNumber::decode(*encoded.additional_number);
        if (!entry.additional_number) {
            return std::nullopt;
        }
    }
    if (encoded.email) {
        entry.email = decode_alpha(*encoded.email);
        if (!entry.email) {
            return std::nullopt;
        }
    }
    return entry;
}

} // namespace handset
