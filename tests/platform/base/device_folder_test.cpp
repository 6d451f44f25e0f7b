#include "base/device_folder.h"

#include "scoped_environment.h"

#include <gtest/gtest.h>

using handset::device_folder;
using handset::set_device_folder;

namespace {

class DeviceFolder : public testing::Test {
  protected:
    void SetUp() override {
        m_environment.clear("TELVANE_DEVICE");
        m_environment.set("XDG_DATA_HOME", "/data/home");
        m_environment.set("HOME", "/home/someone");
    }
    void TearDown() override { set_device_folder({}); }

    ScopedEnvironment m_environment;
};

} // namespace

TEST_F(DeviceFolder, PrefersTheProgramsChoiceThenTheEnvironment) {
    m_environment.set("TELVANE_DEVICE", "/devices/one");
    set_device_folder("/from/option");
    EXPECT_EQ(device_folder(), "/from/option");
    set_device_folder({});
    EXPECT_EQ(device_folder(), "/devices/one");
}

TEST_F(DeviceFolder, FallsBackToTheDataHomeThenTheHomeFolder) {
    EXPECT_EQ(device_folder(), "/data/home/telvane/device");
    m_environment.clear("XDG_DATA_HOME");
    EXPECT_EQ(device_folder(), "/home/someone/.local/share/telvane/device");
}

TEST_F(DeviceFolder, IgnoresEmptyAndRelativeSettings) {
    m_environment.set("TELVANE_DEVICE", "");
    m_environment.set("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(device_folder(), "/home/someone/.local/share/telvane/device");
}

TEST_F(DeviceFolder, FindsAHomeWithoutTheHomeVariable) {
    m_environment.clear("XDG_DATA_HOME");
    m_environment.clear("HOME");
    const std::filesystem::path folder = device_folder();
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_EQ(folder.filename(), "device");
}
