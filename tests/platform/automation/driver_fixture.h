// The greeting program started by a driver on a device folder of its own, and stopped by the
// end of the test whatever happened in between.
#pragma once

#include "automation/driver.h"
#include "automation/window_input.h"
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
        const HWND control = GetDlgItem(m_dialog, static_cast<int>(id));
        const std::optional<WindowInfo> info = m_driver.read(control);
        EXPECT_TRUE(info) << "no control " << id;
        if (!info) {
            return POINT{0, 0};
        }
        return POINT{(info->rect.left + info->rect.right) / 2,
                     (info->rect.top + info->rect.bottom) / 2};
    }

    TemporaryFolder m_device;
    WindowSystemInput m_input;
    Driver m_driver{m_input};
    HWND m_dialog;
};

} // namespace handset::testing
