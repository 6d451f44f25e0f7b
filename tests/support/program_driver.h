// Telvane on a test device, in this process, worked through the automation driver as a person
// would: input passes the shell (soft keys, Talk) before the window system sees it.
#pragma once

#include "automation/driver.h"
#include "automation/window_input.h"
#include "display/shell_input.h"
#include "shell/app.h"
#include "test_device.h"

#include <gtest/gtest.h>

#include <optional>

inline constexpr handset::Milliseconds kProgramWait{10000};

class ProgramDriver {
  public:
    ProgramDriver() : m_input(m_window_system), m_driver(m_input) {}

    void start(TestDevice& device) { m_driver.start(WinMain, device.folder()); }
    handset::Driver& driver() { return m_driver; }
    handset::Driver* operator->() { return &m_driver; }

    // The first message box to open: its content, read before it is answered.
    handset::MessageBoxContent answer_box() {
        HWND box = m_driver.wait_for_message_box(kProgramWait);
        EXPECT_TRUE(box) << "no message box opened";
        if (!box) {
            return {};
        }
        std::optional<handset::MessageBoxContent> content = m_driver.message_box(box);
        EXPECT_TRUE(m_driver.answer(box));
        return content.value_or(handset::MessageBoxContent{});
    }

    std::optional<int> exit_code() { return m_driver.wait_for_exit(kProgramWait); }

  private:
    handset::WindowSystemInput m_window_system;
    handset::ShellInput m_input;
    handset::Driver m_driver;
};
