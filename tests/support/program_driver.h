// Telvane on a test device, in this process, worked through the automation driver as a person
// would: input passes the shell (soft keys, Talk) before the window system sees it.
#pragma once

#include "automation/driver.h"
#include "automation/window_input.h"
#include "display/shell_input.h"
#include "shell/app.h"
#include "telvane_ids.h"
#include "test_device.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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
        // The window under the box is active again, and whatever the answer set off is done,
        // before the test goes on as a person would.
        m_driver.wait_until_idle(kProgramWait);
        return content.value_or(handset::MessageBoxContent{});
    }

    std::optional<int> exit_code() { return m_driver.wait_for_exit(kProgramWait); }

  private:
    handset::WindowSystemInput m_window_system;
    handset::ShellInput m_input;
    handset::Driver m_driver;
};

enum class Pictures { present, missing, damaged };

// Telvane's files as they lie beside the program on the device: its language file and its
// picture library, or a picture library that is missing or not a module at all.
inline void InstallProgramFiles(const std::filesystem::path& folder, Pictures pictures) {
    std::filesystem::copy_file(LANGUAGE_FILE, folder / "Telvane.exe.0409.mui");
    if (pictures == Pictures::present) {
        std::filesystem::copy_file(PICTURES_FILE, folder / "Telvane.dll");
    } else if (pictures == Pictures::damaged) {
        std::ofstream(folder / "Telvane.dll") << "MZ but nothing a loader could read";
    }
}

// Telvane in German: its German language file installed beside the English one, and the device's
// interface language set to German.
inline void SpeakGerman(TestDevice& device) {
    std::filesystem::copy_file(GERMAN_LANGUAGE_FILE, device.folder() / "Telvane.exe.0407.mui");
    device.set_dword(u"Handset\\Device", u"UILanguage", 0x0407);
}

// A device with a blank card and the program's files installed in the device folder, where the
// loader looks after the program's own folder (which, for a test, holds none); the program is
// started by the test.
class ProgramTest : public ::testing::Test {
  protected:
    explicit ProgramTest(Pictures pictures = Pictures::present) {
        InstallProgramFiles(m_device.folder(), pictures);
        m_device.card();
    }

    // A test that stopped half-way leaves no program running behind it.
    void TearDown() override {
        if (m_program->running()) {
            PostMessageW(MainWindow(), WM_CLOSE, 0, 0);
            m_program.exit_code();
        }
    }

    static HWND MainWindow() { return FindWindowW(u"TELVANE", u"Telvane"); }
    static LONG StateMarker() { return GetWindowLongW(MainWindow(), GWL_USERDATA); }

    HWND WaitForMainView() {
        return m_program->wait_for_window({u"SysTreeView32", std::nullopt, IDC_SIM_TREE},
                                          kProgramWait);
    }

    // Until the main view's tree has been filled as often as asked, and the screen has settled.
    bool WaitForFill(int fills = 1) {
        const std::string done = "Telvane <RD_INFO>: CTRL_MAIN_EnableMenu: Enable Menubar == TRUE";
        return m_program->wait_until(
                   [&] {
                       std::vector<std::string> lines = m_program->debug_lines();
                       return std::count(lines.begin(), lines.end(), done) >= fills;
                   },
                   kProgramWait) &&
               m_program->wait_until_idle(kProgramWait);
    }

    // The card as handsetctl reaches it: a connection of its own, beside the program's.
    handset::CardFile Card() { return handset::CardFile::open(m_device.folder() / "sim.db"); }

    void AddEntry(std::u16string name, std::u16string_view number, int slot = 0) {
        Card().store(slot, sim_entry(std::move(name), number), handset::EntryFields::all);
    }

    // Starts the program and waits until the main view's first fill has finished.
    void Start() {
        m_program.start(m_device);
        m_tree = WaitForMainView();
        ASSERT_TRUE(m_tree);
        ASSERT_TRUE(WaitForFill());
        m_main = GetParent(m_tree);
    }

    // Ends the program as a second instance would, and expects the normal end.
    void CloseProgram() {
        SendMessageW(MainWindow(), WM_CLOSE, 0, 0);
        EXPECT_EQ(m_program.exit_code(), std::optional<int>(0));
    }

    TestDevice m_device;
    ProgramDriver m_program;
    // The main view and its tree, once Start has seen them.
    HWND m_tree = nullptr;
    HWND m_main = nullptr;
};
