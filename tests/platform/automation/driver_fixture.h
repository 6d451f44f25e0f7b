// The greeting program started by a driver on a device folder of its own, and stopped by the
// end of the test whatever happened in between.
#pragma once

#include "automation/driver.h"
#include "automation/window_input.h"
#include "gdi/surface.h"
#include "greeting_program.h"

#include "../base/temporary_folder.h"

#include <gtest/gtest.h>

namespace handset::testing {

inline constexpr Milliseconds wait_limit{10000};

class GreetingRun : public ::testing::Test {
  protected:
    void SetUp() override {
        m_driver.start(&greeting_main, m_device.path());
        m_dialog = m_driver.wait_for_window(WindowQuery{std::nullopt, u"Greeting", std::nullopt},
                                            wait_limit);
        ASSERT_TRUE(m_dialog) << "the greeting dialog never showed";
    }

    void TearDown() override {
        if (m_driver.running()) {
            PostMessageW(m_dialog, WM_COMMAND, IDOK, 0);
        }
    }

    POINT centre_of(UINT_PTR id) {
        const RECT rect = rect_of(id);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    RECT rect_of(UINT_PTR id) {
        const std::optional<WindowInfo> info =
            m_driver.read(GetDlgItem(m_dialog, static_cast<int>(id)));
        EXPECT_TRUE(info) << "no control " << id;
        return info ? info->rect : RECT{0, 0, 0, 0};
    }

    // Dark glyphs on a light background inside the area, as a control's text draws.
    static void expect_text_inside(const Surface& image, const RECT& area) {
        int dark = 0;
        int light = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                const int green = static_cast<int>((image.pixel(x, y) >> 8) & 0xFF);
                (green < 96 ? dark : light) += 1;
            }
        }
        EXPECT_GT(dark, 40) << "the text's glyphs";
        EXPECT_GT(light, dark) << "the background around them";
    }

    TemporaryFolder m_device;
    WindowSystemInput m_input;
    Driver m_driver{m_input};
    HWND m_dialog;
};

} // namespace handset::testing
