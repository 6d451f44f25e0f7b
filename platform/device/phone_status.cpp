#include "device/phone_status.h"

#include "registry/key_path.h"

namespace handset {

namespace {

constexpr DWORD card_and_radio_bits =
    phone_status_no_card | phone_status_invalid_card | phone_status_radio_off;

} // namespace

DWORD phone_status_for(DWORD current, const CardState& state) {
    DWORD status = current & ~card_and_radio_bits;
    if (!state.present) {
        status |= phone_status_no_card;
    } else if (state.invalid) {
        status |= phone_status_invalid_card;
    }
    if (!state.radio_on) {
        status |= phone_status_radio_off;
    }
    if (status == 0) {
        status = phone_status_healthy;
    }
    return status;
}

RegistryEdit sync_phone_status(const std::filesystem::path& folder, const CardState& state) {
    const auto key = split_key_path(phone_status_key);
    return edit_registry_file(folder / "registry.reg", [&](RegistryTree& tree) {
        RegistryKey& phone = tree.root(RegistryRoot::local_machine).descendant_or_add(*key);
        const RegistryValue* value = phone.value(phone_status_name);
        const DWORD current = value ? value->as_dword().value_or(0) : 0;
        phone.set_value(phone_status_name, RegistryValue::dword(phone_status_for(current, state)));
        return true;
    });
}

} // namespace handset
