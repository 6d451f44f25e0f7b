#include "gdi/system_colors.h"

#include <wingdi.h>

#include <array>

namespace handset {

namespace {

// Light dialogs with dark text and a blue selection, as the handset's default theme.
constexpr std::array<COLORREF, system_color_count> scheme = {
    RGB(200, 200, 200), // COLOR_SCROLLBAR
    RGB(0, 70, 140),    // COLOR_BACKGROUND
    RGB(0, 80, 170),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128), // COLOR_INACTIVECAPTION
    RGB(255, 255, 255), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(0, 0, 0),       // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(255, 255, 255), // COLOR_CAPTIONTEXT
    RGB(192, 192, 192), // COLOR_ACTIVEBORDER
    RGB(192, 192, 192), // COLOR_INACTIVEBORDER
    RGB(128, 128, 128), // COLOR_APPWORKSPACE
    RGB(0, 96, 192),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(214, 211, 206), // COLOR_BTNFACE
    RGB(128, 128, 128), // COLOR_BTNSHADOW
    RGB(128, 128, 128), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(212, 208, 200), // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),    // COLOR_3DDKSHADOW
    RGB(224, 224, 224), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(255, 255, 255), // COLOR_STATIC
    RGB(0, 0, 0),       // COLOR_STATICTEXT
};

} // namespace

std::optional<int> system_color_index(int index) {
    const int plain = index & ~SYS_COLOR_INDEX_FLAG;
    if (plain < 0 || plain >= system_color_count) {
        return std::nullopt;
    }
    return plain;
}

COLORREF system_color(int plain_index) {
    return scheme[static_cast<size_t>(plain_index)];
}

} // namespace handset
