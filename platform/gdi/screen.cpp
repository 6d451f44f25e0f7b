#include "gdi/screen.h"

#include "gdi/rect_math.h"
#include "gdi/screen_setting.h"
#include "gdi/system_colors.h"
#include "gdi/wait_spinner.h"

#include <wingdi.h>

#include <utility>

namespace handset {

namespace {

uint32_t desktop_pixel() {
    return pixel_from_colorref(system_color(*system_color_index(COLOR_BACKGROUND)));
}

} // namespace

// Never destroyed, like the rest of the drawing state: detached worker threads may still paint
// while the process exits.
Screen& Screen::instance() {
    static auto* screen = new Screen;
    return *screen;
}

Screen::Screen()
    : m_profile(configured_screen_profile()),
      m_framebuffer(m_profile.width, m_profile.height, desktop_pixel()) {}

ScreenProfile Screen::profile() const {
    GdiGuard guard;
    return m_profile;
}

void Screen::set_profile(const ScreenProfile& profile) {
    GdiGuard guard;
    replace_framebuffer(guard, profile);
}

void Screen::rotate() {
    GdiGuard guard;
    replace_framebuffer(guard, ScreenProfile{m_profile.height, m_profile.width, m_profile.dpi});
}

void Screen::replace_framebuffer(const GdiGuard& guard, const ScreenProfile& profile) {
    m_profile = profile;
    m_framebuffer = Surface(profile.width, profile.height, desktop_pixel());
    mark_changed(guard, m_framebuffer.bounds());
}

void Screen::set_wait_cursor(bool shown) {
    GdiGuard guard;
    if (m_wait_cursor == shown) {
        return;
    }
    m_wait_cursor = shown;
    mark_changed(guard, spinner_area());
}

bool Screen::wait_cursor_shown() const {
    GdiGuard guard;
    return m_wait_cursor;
}

RECT Screen::spinner_area() const {
    return wait_spinner_area(m_profile.width, m_profile.height, m_profile.dpi);
}

Surface Screen::compose(int spinner_phase) const {
    GdiGuard guard;
    Surface shown = m_framebuffer;
    if (m_wait_cursor) {
        draw_wait_spinner(shown, spinner_area(), spinner_phase);
    }
    return shown;
}

RECT Screen::take_changes() {
    GdiGuard guard;
    return std::exchange(m_changed, RECT{0, 0, 0, 0});
}

void Screen::set_observer(ScreenObserver* observer) {
    GdiGuard guard;
    m_observer = observer;
}

void Screen::mark_changed(const GdiGuard&, const RECT& area) {
    const RECT visible = intersect_rects(area, m_framebuffer.bounds());
    if (rect_is_empty(visible)) {
        return;
    }
    const bool was_quiet = rect_is_empty(m_changed);
    m_changed = union_rects(m_changed, visible);
    // One notice per batch of changes: the display reads them all when it presents.
    if (was_quiet && m_observer != nullptr) {
        m_observer->screen_changed();
    }
}

} // namespace handset
