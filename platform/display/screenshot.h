// Screenshots: the screen as the person sees it (with the wait cursor when it shows) as a PNG.
#pragma once

#include <filesystem>

namespace handset {

// False, with a debug line, when the file cannot be written.
bool save_screenshot(const std::filesystem::path& path);

} // namespace handset
