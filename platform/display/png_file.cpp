#include "display/png_file.h"

#include "base/debug_output.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace handset {

bool write_png(const std::filesystem::path& path, const Surface& image) {
    std::vector<png_byte> rgb;
    rgb.reserve(static_cast<size_t>(image.width()) * image.height() * 3);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const uint32_t pixel = image.pixel(x, y);
            rgb.push_back(static_cast<png_byte>(pixel >> 16));
            rgb.push_back(static_cast<png_byte>(pixel >> 8));
            rgb.push_back(static_cast<png_byte>(pixel));
        }
    }
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width());
    png.height = static_cast<png_uint_32>(image.height());
    png.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr)) {
        debug_printf("display: cannot write %s: %s", path.c_str(), png.message);
        return false;
    }
    return true;
}

std::optional<Surface> read_png(const std::filesystem::path& path) {
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        debug_printf("display: cannot read %s: %s", path.c_str(), png.message);
        return std::nullopt;
    }
    // Read straight into the surface's words, whose bytes run blue, green, red, alpha.
    png.format = PNG_FORMAT_BGRA;
    Surface image(static_cast<int>(png.width), static_cast<int>(png.height));
    if (!png_image_finish_read(&png, nullptr, image.row(0), 0, nullptr)) {
        debug_printf("display: cannot read %s: %s", path.c_str(), png.message);
        png_image_free(&png);
        return std::nullopt;
    }
    return image;
}

} // namespace handset
