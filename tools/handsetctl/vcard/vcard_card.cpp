#include "vcard_card.h"

namespace vcard {

std::vector<const VcardProperty*> VcardCard::all(std::string_view name) const {
    std::vector<const VcardProperty*> found;
    for (const VcardProperty& property : properties) {
        if (property.name() == name) {
            found.push_back(&property);
        }
    }
    return found;
}

const VcardProperty* VcardCard::first(std::string_view name) const {
    for (const VcardProperty& property : properties) {
        if (property.name() == name) {
            return &property;
        }
    }
    return nullptr;
}

} // namespace vcard
