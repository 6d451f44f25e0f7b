// PNG files of surfaces, for screenshots and for the reference images that screen tests compare
// against.
#pragma once

#include "gdi/surface.h"

#include <filesystem>
#include <optional>

namespace handset {

// 8-bit RGB without alpha: the screen is opaque. False, with a debug line, when the file cannot
// be written.
bool write_png(const std::filesystem::path& path, const Surface& image);

// Any PNG, as opaque-or-not 0xAARRGGBB pixels; nothing, with a debug line, for a file that is
// missing or not a PNG.
std::optional<Surface> read_png(const std::filesystem::path& path);

} // namespace handset
