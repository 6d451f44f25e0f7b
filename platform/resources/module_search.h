// Where the loader looks for a module file named without a folder or with a relative one: beside
// the running program, as the device looks in the program's own folder first, then in the device
// folder, which holds the language and picture files installed for the device's programs (the
// device's \Windows). Never in the working folder: the device has none, and a file planted where
// a person happens to start the program must not replace its texts or code. A name with an
// absolute path is taken as it is.
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
