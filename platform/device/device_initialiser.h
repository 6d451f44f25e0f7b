// Makes a device folder: the emulated card with its phonebook, the contacts store and the
// registry values that programs read. handsetctl's init calls it, and a program's start calls
// ensure_device so that the very first run finds a working handset.
#pragma once

#include "cellcore/card_types.h"
#include "device/device_options.h"

#include <filesystem>
#include <stdexcept>

namespace handset {

inline constexpr std::u16string_view program_key = u"Software\\Nemora\\Telvane\\";
inline constexpr std::u16string_view device_settings_key = u"Handset\\Device";

// Why a device could not be made, naming the file concerned.
class DeviceError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

CardProfile card_profile_for(CardKind kind);

// Makes folder (created when missing) a new device: a blank card of the kind asked for, the
// contacts store emptied (or replaced when it is damaged), both filled with the sample data
// unless options.empty, and the device's registry values set. The rest of an existing registry
// is kept. Throws DeviceError.
void initialise_device(const std::filesystem::path& folder, const DeviceOptions& options);

// Creates the default device in device_folder() when the folder holds none of the device's
// files yet; an existing device is left as it is, even a partly broken one, which its programs
// then report. False, with a debug line saying why, when no device could be made.
bool ensure_device();

} // namespace handset
