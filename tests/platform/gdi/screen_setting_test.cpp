// The device's screen setting, read from a registry file of a device folder made for the test.
#include "base/debug_output.h"
#include "base/device_folder.h"
#include "gdi/screen_setting.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

namespace handset {
namespace {

class ScreenSetting : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   ("gdi-screen-setting-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        set_device_folder(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    void write_registry(const std::string& screen_line) {
        std::ofstream(m_folder / "registry.reg")
            << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Handset\\Device]\n"
            << screen_line << "\n";
    }

    std::filesystem::path m_folder;
};

TEST_F(ScreenSetting, VgaComesFromTheDevicesRegistry) {
    write_registry("\"Screen\"=\"VGA\"");
    const ScreenProfile profile = configured_screen_profile();
    EXPECT_EQ(profile.width, 480);
    EXPECT_EQ(profile.height, 640);
    EXPECT_EQ(profile.dpi, 192);
}

TEST_F(ScreenSetting, QvgaIsTheDefault) {
    write_registry("\"UILanguage\"=dword:00000409");
    EXPECT_EQ(configured_screen_profile().width, 240);
    write_registry("\"Screen\"=\"qvga\"");
    EXPECT_EQ(configured_screen_profile().dpi, 96);
}

TEST_F(ScreenSetting, AnUnknownSettingFallsBackToQvgaAndSaysSo) {
    write_registry("\"Screen\"=\"wvga\"");
    DebugCapture capture;
    EXPECT_EQ(configured_screen_profile().width, 240);
    EXPECT_THAT(capture.text(), ::testing::HasSubstr("\"wvga\""));
}

TEST_F(ScreenSetting, AValueOfTheWrongTypeCountsAsMissing) {
    write_registry("\"Screen\"=dword:00000002");
    EXPECT_EQ(configured_screen_profile().width, 240);
}

} // namespace
} // namespace handset
