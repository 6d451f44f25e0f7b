// A QVGA screen painted white with a DC over all of it, and ways to look at the pixels.
#pragma once

#include "gdi/screen.h"
#include "gdi/screen_dc.h"

#include <wingdi.h>

#include <gtest/gtest.h>

#include <functional>

namespace handset {

class ScreenTest : public ::testing::Test {
  protected:
    void SetUp() override { use_profile(ScreenProfile::qvga()); }
    void TearDown() override { release_screen_dc(m_dc); }

    void use_profile(const ScreenProfile& profile) {
        if (m_dc) {
            release_screen_dc(m_dc);
        }
        Screen::instance().set_profile(profile);
        m_dc = create_screen_dc(POINT{0, 0}, ClipRegion(RECT{0, 0, profile.width, profile.height}));
        const RECT all{0, 0, profile.width, profile.height};
        FillRect(m_dc, &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
        Screen::instance().take_changes();
    }

    HDC dc() const { return m_dc; }

    static COLORREF at(LONG x, LONG y) {
        return colorref_from_pixel(Screen::instance().compose().pixel(x, y));
    }

    // The pixels of `area` for which `test` holds.
    static int count(const RECT& area, const std::function<bool(COLORREF)>& test) {
        const Surface shown = Screen::instance().compose();
        int found = 0;
        for (LONG y = area.top; y < area.bottom; ++y) {
            for (LONG x = area.left; x < area.right; ++x) {
                found += test(colorref_from_pixel(shown.pixel(x, y))) ? 1 : 0;
            }
        }
        return found;
    }

    static int ink(const RECT& area) {
        return count(area, [](COLORREF c) { return c != RGB(255, 255, 255); });
    }

    // The bounding box of the non-white pixels of `area` (empty when there are none).
    static RECT ink_bounds(const RECT& area) {
        const Surface shown = Screen::instance().compose();
        RECT box{area.right, area.bottom, area.left, area.top};
        for (LONG y = area.top; y < area.bottom; ++y) {
            for (LONG x = area.left; x < area.right; ++x) {
                if (colorref_from_pixel(shown.pixel(x, y)) != RGB(255, 255, 255)) {
                    box = RECT{std::min(box.left, x), std::min(box.top, y),
                               std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
                }
            }
        }
        return box;
    }

    static RECT whole_screen() {
        const ScreenProfile profile = Screen::instance().profile();
        return RECT{0, 0, profile.width, profile.height};
    }

  private:
    HDC m_dc{};
};

} // namespace handset
