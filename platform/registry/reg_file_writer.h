// Writes a registry tree as REGEDIT4 text that RegFileParser reads back into the same tree, and
// saves it so that a reader sees either the old file or the new one, never a part.
#pragma once

#include "registry/registry_tree.h"

#include <filesystem>
#include <string>

namespace handset {

// Keys and values in the order of their folded names; "\n" line ends.
std::string write_reg_file(const RegistryTree& tree);

// Writes a temporary file beside the target, readable by this user only, flushes it to disk and
// renames it over the target. On failure the target is untouched and error says why.
bool save_reg_file(const std::filesystem::path& file, const RegistryTree& tree, std::string& error);

// Removes the temporaries that writers of file killed before their rename left beside it. Only
// while holding the file's EditLock, which every writer holds: then no temporary is in use.
void remove_leftover_temporaries(const std::filesystem::path& file);

} // namespace handset
