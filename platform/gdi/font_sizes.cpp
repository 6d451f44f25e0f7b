#include "gdi/font_sizes.h"

#include <cstdint>

namespace handset {

int mul_div(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    const int64_t product = static_cast<int64_t>(number) * numerator;
    const int64_t half = (denominator < 0 ? -denominator : denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const int64_t magnitude = ((product < 0 ? -product : product) + half) /
                              (denominator < 0 ? -denominator : denominator);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

LONG font_height_for_points(int points, int dpi) {
    return -mul_div(points, dpi, 72);
}

LONG system_font_height(int dpi) {
    return font_height_for_points(9, dpi);
}

} // namespace handset
