// Where DejaVu Sans is on this machine. It stands in for every face the programs name (Tahoma,
// "MS Shell Dlg" and the rest), in its regular and bold weights.
#pragma once

#include <optional>
#include <string>

namespace handset {

// fontconfig's file for DejaVu Sans of that weight, else the file fonts-dejavu-core installs;
// nothing when neither exists (the caller says so on the debug output).
std::optional<std::string> locate_dejavu_sans(bool bold);

} // namespace handset
