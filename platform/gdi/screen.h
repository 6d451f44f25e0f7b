// The handset's screen: a framebuffer of the device profile, the overlays shown over it (the wait
// cursor), and the record of what changed since the display last showed it.
//
// The profile comes from the device's registry (HKLM\Handset\Device "Screen": qvga or vga) the
// first time the screen is used; tests set it directly. Rotation swaps width and height.
#pragma once

#include "gdi/gdi_lock.h"
#include "gdi/surface.h"

#include <windef.h>

namespace handset {

struct ScreenProfile {
    int width;
    int height;
    int dpi;

    static ScreenProfile qvga() { return ScreenProfile{240, 320, 96}; }
    static ScreenProfile vga() { return ScreenProfile{480, 640, 192}; }
};

class ScreenObserver {
  public:
    virtual ~ScreenObserver() = default;
    // Something on the composed screen changed (read it with Screen::take_changes). Called on the
    // drawing thread with the GDI lock held: only schedule a present here; calling back into the
    // screen or drawing would deadlock.
    virtual void screen_changed() = 0;
};

class Screen {
  public:
    static Screen& instance();

    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    ScreenProfile profile() const;
    // A new framebuffer of the profile's size, filled with the desktop colour; windows repaint.
    void set_profile(const ScreenProfile& profile);
    void rotate();

    // The wait cursor: a spinner in the screen's centre over everything else.
    void set_wait_cursor(bool shown);
    bool wait_cursor_shown() const;

    // The screen as the user sees it: the framebuffer with the overlays drawn over it, the
    // spinner turned to `spinner_phase` (eighths of a turn).
    Surface compose(int spinner_phase = 0) const;
    // The area changed since the previous call, in screen coordinates (empty when nothing did).
    RECT take_changes();
    // The display showing the screen; nullptr detaches it.
    void set_observer(ScreenObserver* observer);

    // For the painting code, which already holds the lock.
    Surface& framebuffer(const GdiGuard&) { return m_framebuffer; }
    const ScreenProfile& profile(const GdiGuard&) const { return m_profile; }
    void mark_changed(const GdiGuard&, const RECT& area);

  private:
    Screen();
    void replace_framebuffer(const GdiGuard& guard, const ScreenProfile& profile);
    RECT spinner_area() const;

    ScreenProfile m_profile;
    Surface m_framebuffer;
    RECT m_changed{0, 0, 0, 0};
    bool m_wait_cursor = false;
    ScreenObserver* m_observer = nullptr;
};

} // namespace handset
