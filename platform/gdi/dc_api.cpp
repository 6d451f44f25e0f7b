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
Result change_attributes(HDC dc_handle, Result failure, Change change) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    return dc == nullptr ? failure : change(dc->attributes());
}

int change_clip(HDC dc_handle, const RECT& logical, bool exclude) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    if (dc == nullptr) {
        return RGN_ERROR;
    }
    if (exclude) {
        dc->exclude_clip(guard, dc->to_device(logical));
    } else {
        dc->intersect_clip(guard, dc->to_device(logical));
    }
    return region_type(dc->clip(guard));
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
    GdiGuard guard;
    if (find_dc(guard, dc) == nullptr) {
        return 0;
    }
    const ScreenProfile& screen = Screen::instance().profile(guard);
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

int WINAPI GetClipBox(HDC dc_handle, LPRECT box) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    if (dc == nullptr || box == nullptr) {
        return RGN_ERROR;
    }
    const ClipRegion clip = dc->clip(guard);
    const POINT shift = dc->offset();
    *box = clip.is_empty() ? RECT{0, 0, 0, 0} : offset_rect(clip.bounds(), -shift.x, -shift.y);
    return region_type(clip);
}
