// Where the loader looks for a module file: the path as given (relative to the working folder),
// then beside the running program, as the device looks in the program's own folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace handset {

// The folder of the running program (/proc/self/exe); empty if it cannot be told.
std::filesystem::path program_folder();

// The first place where a file of that name exists; nullopt if there is none.
std::optional<std::filesystem::path> find_module_file(std::u16string_view name);

} // namespace handset
