// The screen's measures and colours: GetSystemMetrics and GetSysColor.
#include "gdi/font_sizes.h"
#include "gdi/screen.h"
#include "gdi/system_colors.h"

#include <wingdi.h>

using namespace handset;

namespace {

// Sizes at 96 dots per inch; the device scales them with its density (twice as many pixels on
// a VGA screen).
int size_at_96_dpi(int index) {
    switch (index) {
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return 13;
    case SM_CYCAPTION:
    case SM_CYMENU:
        return 26;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    default:
        return 0;
    }
}

} // namespace

int WINAPI GetSystemMetrics(int index) {
    const ScreenProfile screen = Screen::instance().profile();
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
        return screen.width;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
        return screen.height;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
        return 0;
    case SM_CMONITORS:
        return 1;
    default:
        return mul_div(size_at_96_dpi(index), screen.dpi, 96);
    }
}

DWORD WINAPI GetSysColor(int index) {
    const std::optional<int> plain = system_color_index(index);
    return plain ? system_color(*plain) : 0;
}
