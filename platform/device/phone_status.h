// The phone's "Status" registry value (HKEY_LOCAL_MACHINE\System\State\Phone), which programs
// read to decide whether the phone is usable. On the device the radio stack keeps it; on the
// emulated handset the tools that change the card and the radio keep it in step with them.
#pragma once

#include "cellcore/card_types.h"
#include "registry/registry_editor.h"

#include <windef.h>

#include <filesystem>
#include <string_view>

namespace handset {

inline constexpr std::u16string_view phone_status_key = u"System\\State\\Phone";
inline constexpr std::u16string_view phone_status_name = u"Status";

inline constexpr DWORD phone_status_no_card = 0x02;
inline constexpr DWORD phone_status_invalid_card = 0x04;
inline constexpr DWORD phone_status_radio_off = 0x10;
// Registered on the network: the bit a working phone shows, so that a healthy value is never 0,
// which programs read as "status unknown".
inline constexpr DWORD phone_status_healthy = 0x20;

// current with its card and radio bits set from state; the other bits stay as they were.
DWORD phone_status_for(DWORD current, const CardState& state);

// Rewrites the value in the folder's registry.reg to match state.
RegistryEdit sync_phone_status(const std::filesystem::path& folder, const CardState& state);

} // namespace handset
