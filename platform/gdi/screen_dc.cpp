#include "gdi/screen_dc.h"

#include "gdi/dc_store.h"
#include "gdi/font_sizes.h"
#include "gdi/screen.h"

namespace handset {

HDC create_screen_dc(POINT origin, const ClipRegion& visible) {
    GdiGuard guard;
    return DcStore::instance(guard).add_screen_dc(guard, origin, visible);
}

bool release_screen_dc(HDC dc) {
    GdiGuard guard;
    return DcStore::instance(guard).remove(guard, dc, DeviceContext::Kind::screen);
}

LONG font_height_for_points(int points) {
    GdiGuard guard;
    return font_height_for_points(points, Screen::instance().profile(guard).dpi);
}

} // namespace handset
