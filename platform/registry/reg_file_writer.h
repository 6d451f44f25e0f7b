// Writes a registry tree as REGEDIT4 text that RegFileParser reads back into the same tree, and
// saves it so that a reader sees either the old file or the new one, never a part.
#pragma once

#include "registry/registry_tree.h"

#include <filesystem>
#include <string>

namespace handset {

// Keys and values in the order of their folded names; "\n" line ends.
std::string write_reg_file(const RegistryTree& tree);

// Writes a temporary file beside the target, flushes it to disk and renames it over the target.
// On failure the target is untouched and error says why.
bool save_reg_file(const std::filesystem::path& file, const RegistryTree& tree, std::string& error);

} // namespace handset
