#include "cellcore/phonebook_reference.h"

#include "cellcore/ber_tlv.h"

namespace handset {

namespace {

std::optional<PhonebookLink> link_of(uint16_t tag) {
    switch (tag) {
    case 0xA8:
        return PhonebookLink::type1;
    case 0xA9:
        return PhonebookLink::type2;
    case 0xAA:
        return PhonebookLink::type3;
    default:
        return std::nullopt;
    }
}

bool add_files(ByteView template_value, PhonebookLink link, std::vector<PhonebookFile>& files) {
    const std::optional<std::vector<Tlv>> objects = parse_tlvs(template_value);
    if (!objects) {
        return false;
    }
    for (const Tlv& object : *objects) {
        if (object.tag > 0xFF || object.value.size() < 2 || object.value.size() > 3) {
            return false;
        }
        PhonebookFile file{static_cast<uint8_t>(object.tag),
                           static_cast<uint16_t>(object.value[0] << 8 | object.value[1]),
                           std::nullopt, link};
        if (object.value.size() == 3) {
            file.short_id = object.value[2];
        }
        files.push_back(file);
    }
    return true;
}

} // namespace

std::optional<PhonebookFile> PhonebookReference::find(uint8_t tag, PhonebookLink link) const {
    for (const PhonebookFile& file : files) {
        if (file.tag == tag && file.link == link) {
            return file;
        }
    }
    return std::nullopt;
}

std::optional<size_t> PhonebookReference::iap_position(uint8_t tag) const {
    size_t position = 0;
    for (const PhonebookFile& file : files) {
        if (file.link != PhonebookLink::type2) {
            continue;
        }
        if (file.tag == tag) {
            return position;
        }
        ++position;
    }
    return std::nullopt;
}

std::optional<PhonebookReference> parse_phonebook_reference(ByteView record) {
    const std::optional<std::vector<Tlv>> templates = parse_tlvs(record);
    if (!templates) {
        return std::nullopt;
    }
    PhonebookReference reference;
    for (const Tlv& object : *templates) {
        const std::optional<PhonebookLink> link = link_of(object.tag);
        if (!link || !add_files(object.value, *link, reference.files)) {
            return std::nullopt;
        }
    }
    return reference;
}

} // namespace handset
