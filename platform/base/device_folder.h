// Where the emulated handset keeps its files (registry.reg, sim.db, contacts.db, debug.log).
#pragma once

#include <filesystem>

namespace handset {

// The folder chosen by set_device_folder (a program's `--device DIR`), else $TELVANE_DEVICE, else
// $XDG_DATA_HOME/telvane/device, else ~/.local/share/telvane/device. The environment is read on
// every call, so a test may point it elsewhere. The folder need not exist.
std::filesystem::path device_folder();

// An empty path goes back to the environment's choice.
void set_device_folder(std::filesystem::path folder);

} // namespace handset
