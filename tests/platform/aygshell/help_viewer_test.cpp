#include "../base/scoped_environment.h"
#include "../base/temporary_folder.h"
#include "aygshell/help_viewer.h"
#include "base/debug_output.h"
#include "base/device_folder.h"

#include <processthreadsapi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using handset::DebugCapture;
using handset::help_page_address;
using testing::HasSubstr;

namespace {

// A device folder of its own, with the desktop (if any) taken away.
class HelpViewerTest : public testing::Test {
  protected:
    void SetUp() override {
        handset::set_device_folder(m_device.path());
        m_environment.clear("DISPLAY");
        m_environment.clear("WAYLAND_DISPLAY");
    }
    void TearDown() override { handset::set_device_folder({}); }

    // A desktop whose browser launcher writes the address it was given into a file.
    std::filesystem::path fake_desktop() {
        const std::filesystem::path bin = m_device.path() / "bin";
        std::filesystem::create_directory(bin);
        const std::filesystem::path opened = m_device.path() / "opened.txt";
        m_device.write("bin/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + opened.string() +
                                           ".part'\nmv '" + opened.string() + ".part' '" +
                                           opened.string() + "'\n");
        std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
        m_environment.set("PATH", bin.string() + ":" + std::getenv("PATH"));
        m_environment.set("DISPLAY", ":99");
        return opened;
    }

    TemporaryFolder m_device;
    ScopedEnvironment m_environment;
};

bool wait_for_file(const std::filesystem::path& path) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (std::filesystem::exists(path)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

BOOL start_help_viewer(LPCWSTR application, const char16_t* page, PROCESS_INFORMATION& info) {
    std::u16string command_line = page;
    return CreateProcessW(application, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, nullptr, &info);
}

} // namespace

TEST(HelpPageAddress, FindsABareNameInTheDeviceWindowsFolderAndKeepsTheAnchor) {
    EXPECT_EQ(help_page_address(u"file:Telvane.0409.htm#SettingLink", "/device"),
              "file:///device/Windows/Telvane.0409.htm#SettingLink");
    EXPECT_EQ(help_page_address(u"file:Telvane.01004.htm", "/device"),
              "file:///device/Windows/Telvane.01004.htm");
}

TEST(HelpPageAddress, ReadsADevicePathFromTheDeviceRootAndPassesOtherAddressesOn) {
    EXPECT_EQ(help_page_address(u"file:\\Help\\page.htm#a", "/device"),
              "file:///device/Help/page.htm#a");
    EXPECT_EQ(help_page_address(u"http://example.org/help", "/device"), "http://example.org/help");
}

TEST_F(HelpViewerTest, WithoutADesktopLogsThePageAndStartsAsCreateProcessWould) {
    DebugCapture capture;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(start_help_viewer(u"peghelp.exe", u"file:Telvane.0409.htm#SettingLink", info));
    EXPECT_THAT(capture.text(), HasSubstr("/Windows/Telvane.0409.htm#SettingLink"));
    EXPECT_NE(info.dwProcessId, 0u);
    EXPECT_TRUE(CloseHandle(info.hProcess));
    EXPECT_TRUE(CloseHandle(info.hThread));
    EXPECT_FALSE(CloseHandle(info.hThread));
}

TEST_F(HelpViewerTest, WithADesktopTheBrowserLauncherGetsThePage) {
    const std::filesystem::path opened = fake_desktop();
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(
        start_help_viewer(u"\\Windows\\PEGHELP.EXE", u"file:Telvane.0409.htm#Settings", info));
    ASSERT_TRUE(wait_for_file(opened));
    EXPECT_EQ(m_device.read("opened.txt"),
              "file://" + (m_device.path() / "Windows/Telvane.0409.htm").string() + "#Settings");
    EXPECT_TRUE(CloseHandle(info.hProcess));
    EXPECT_TRUE(CloseHandle(info.hThread));
}

TEST_F(HelpViewerTest, ADesktopWithoutALauncherStillLogsThePage) {
    m_environment.set("DISPLAY", ":99");
    m_environment.set("PATH", (m_device.path() / "nowhere").string());
    DebugCapture capture;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(start_help_viewer(u"peghelp.exe", u"file:x.htm", info));
    EXPECT_THAT(capture.text(), HasSubstr("could not be started"));
    EXPECT_THAT(capture.text(), HasSubstr("/Windows/x.htm"));
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
}

TEST_F(HelpViewerTest, OtherProgramsAndMissingArgumentsFailWithTheirErrors) {
    PROCESS_INFORMATION info{};
    EXPECT_FALSE(start_help_viewer(u"calc.exe", u"", info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(start_help_viewer(nullptr, u"file:x.htm", info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    WCHAR page[] = u"file:x.htm";
    EXPECT_FALSE(CreateProcessW(u"peghelp.exe", page, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
