#include "display/screenshot.h"

#include "display/png_file.h"
#include "gdi/screen.h"

namespace handset {

bool save_screenshot(const std::filesystem::path& path) {
    return write_png(path, Screen::instance().compose());
}

} // namespace handset
