// Device contexts: memory DCs, capabilities, colours and modes, viewport origin and clipping.
#include "gdi/api_support.h"
#include "gdi/dc_store.h"
#include "gdi/rect_math.h"
#include "gdi/screen.h"

#include <wingdi.h>

#include <utility>

using namespace handset;

namespace {

constexpr DWORD gdi_error = 0xFFFFFFFF;

int region_type(const ClipRegion& region) {
    if (region.is_empty()) {
        return NULLREGION;
    }
    return region.rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// Applies `change` to the attributes of a DC and answers its result, or `failure` for a handle
// that names no DC.
template <typename Result, typename Change>
Result change_attributes(HDC dc, Result failure, Change change) {
    return with_dc(dc, failure, [&](const GdiGuard&, DeviceContext& context) {
        return change(context.attributes());
    });
}

int change_clip(HDC dc, const RECT& logical, bool exclude) {
    return with_dc(dc, RGN_ERROR, [&](const GdiGuard& guard, DeviceContext& context) {
        if (exclude) {
            context.exclude_clip(guard, context.to_device(logical));
        } else {
            context.intersect_clip(guard, context.to_device(logical));
        }
        return region_type(context.clip(guard));
    });
}

// What GetDeviceCaps answers; a memory DC answers for the screen, as on the device.
int device_capability(const ScreenProfile& screen, int index) {
    switch (index) {
    case DRIVERVERSION:
        return 0x0500;
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case HORZSIZE:
        return screen.width * 254 / (screen.dpi * 10);
    case VERTSIZE:
        return screen.height * 254 / (screen.dpi * 10);
    case HORZRES:
        return screen.width;
    case VERTRES:
        return screen.height;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case RASTERCAPS:
        return RC_BITBLT | RC_STRETCHBLT;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return screen.dpi;
    default:
        return 0;
    }
}

} // namespace

HDC WINAPI CreateCompatibleDC(HDC dc) {
    GdiGuard guard;
    if (dc && find_dc(guard, dc) == nullptr) {
        return HDC();
    }
    return DcStore::instance(guard).add_memory_dc(guard);
}

BOOL WINAPI DeleteDC(HDC dc) {
    GdiGuard guard;
    return DcStore::instance(guard).remove(guard, dc, DeviceContext::Kind::memory) ? TRUE : FALSE;
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    return with_dc(dc, 0, [&](const GdiGuard& guard, DeviceContext&) {
        return device_capability(Screen::instance().profile(guard), index);
    });
}

int WINAPI SetBkMode(HDC dc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) {
        return 0;
    }
    return change_attributes(dc, 0,
                             [&](DcAttributes& a) { return std::exchange(a.bk_mode, mode); });
}

int WINAPI GetBkMode(HDC dc) {
    return change_attributes(dc, 0, [](DcAttributes& a) { return a.bk_mode; });
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
    return change_attributes(dc, COLORREF(CLR_INVALID), [&](DcAttributes& a) {
        return std::exchange(a.bk_color, color & 0x00FFFFFFu);
    });
}

COLORREF WINAPI GetBkColor(HDC dc) {
    return change_attributes(dc, COLORREF(CLR_INVALID), [](DcAttributes& a) { return a.bk_color; });
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
    return change_attributes(dc, COLORREF(CLR_INVALID), [&](DcAttributes& a) {
        return std::exchange(a.text_color, color & 0x00FFFFFFu);
    });
}

COLORREF WINAPI GetTextColor(HDC dc) {
    return change_attributes(dc, COLORREF(CLR_INVALID),
                             [](DcAttributes& a) { return a.text_color; });
}

UINT WINAPI SetTextAlign(HDC dc, UINT align) {
    return change_attributes(dc, UINT(gdi_error),
                             [&](DcAttributes& a) { return std::exchange(a.text_align, align); });
}

UINT WINAPI GetTextAlign(HDC dc) {
    return change_attributes(dc, UINT(gdi_error), [](DcAttributes& a) { return a.text_align; });
}

BOOL WINAPI SetViewportOrgEx(HDC dc, int x, int y, LPPOINT previous) {
    return change_attributes(dc, FALSE, [&](DcAttributes& a) {
        if (previous != nullptr) {
            *previous = a.viewport;
        }
        a.viewport = POINT{x, y};
        return TRUE;
    });
}

BOOL WINAPI GetViewportOrgEx(HDC dc, LPPOINT origin) {
    if (origin == nullptr) {
        return FALSE;
    }
    return change_attributes(dc, FALSE, [&](DcAttributes& a) {
        *origin = a.viewport;
        return TRUE;
    });
}

int WINAPI IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    return change_clip(dc, RECT{left, top, right, bottom}, false);
}

int WINAPI ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
    return change_clip(dc, RECT{left, top, right, bottom}, true);
}

int WINAPI GetClipBox(HDC dc, LPRECT box) {
    if (box == nullptr) {
        return RGN_ERROR;
    }
    return with_dc(dc, RGN_ERROR, [&](const GdiGuard& guard, DeviceContext& context) {
        const ClipRegion clip = context.clip(guard);
        const POINT shift = context.offset();
        *box = clip.is_empty() ? RECT{0, 0, 0, 0} : offset_rect(clip.bounds(), -shift.x, -shift.y);
        return region_type(clip);
    });
}
