#include "display/png_file.h"
#include "gdi/screen.h"
#include "program_driver.h"
#include "screen_cases.h"
#include "user/message_box.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class AboutBoxTest : public ProgramTest {
  protected:
    void Open() {
        Start();
        PostMessageW(m_main, WM_COMMAND, ID_ABOUT, 0);
        HWND version =
            m_program->wait_for_window({u"Static", std::nullopt, IDC_ABOUT_VERSION}, kProgramWait);
        ASSERT_TRUE(version);
        m_dialog = GetParent(version);
        ASSERT_TRUE(m_program->wait_until_idle(kProgramWait));
    }

    std::u16string Version() {
        WCHAR text[260] = {};
        GetDlgItemTextW(m_dialog, IDC_ABOUT_VERSION, text, 260);
        return text;
    }

    bool Shown(int id) { return IsWindowVisible(GetDlgItem(m_dialog, id)); }

    // The control's top in the dialog's client area.
    LONG Top(int id) {
        RECT rect = m_program->read(GetDlgItem(m_dialog, id))->rect;
        POINT origin = {0, 0};
        ClientToScreen(m_dialog, &origin);
        return rect.top - origin.y;
    }

    HWND m_dialog = nullptr;
};

} // namespace

TEST_F(AboutBoxTest, ShowsTheVersionFromTheRegistryAndTheMakersLineAndLogo) {
    m_device.set_string(u"Software\\Nemora\\Telvane\\", u"Version", u"2.1.0.7");
    Open();
    EXPECT_EQ(Version(), u"2.1.0.7");
    for (int id : {IDC_ABOUT_TITLE, IDC_ABOUT_VERSION_LABEL, IDC_ABOUT_VERSION, IDC_ABOUT_NOTICE,
                   IDC_ABOUT_COMPANY, IDC_ABOUT_LOGO}) {
        EXPECT_TRUE(Shown(id)) << id;
    }
    // Seven rows share what the caption, the menu bar, the borders, the logo and 20 pixels leave.
    RECT logo = m_program->read(GetDlgItem(m_dialog, IDC_ABOUT_LOGO))->rect;
    const int row = (GetSystemMetrics(SM_CYVIRTUALSCREEN) - 2 * GetSystemMetrics(SM_CYBORDER) -
                     GetSystemMetrics(SM_CYMENU) - GetSystemMetrics(SM_CYCAPTION) -
                     (logo.bottom - logo.top) - 20) /
                    7;
    EXPECT_EQ(Top(IDC_ABOUT_TITLE), 10);
    EXPECT_EQ(Top(IDC_ABOUT_VERSION), row + 10);
    EXPECT_EQ(Top(IDC_ABOUT_NOTICE), 2 * row + 10);
    EXPECT_EQ(Top(IDC_ABOUT_COMPANY), 3 * row + 10);
    EXPECT_EQ(Top(IDC_ABOUT_LOGO), 6 * row + 10);

    m_program->press_key(VK_TSOFT1);
    EXPECT_TRUE(
        m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_MAIN; }, kProgramWait));
}

TEST_F(AboutBoxTest, AVersionStoredAsANumberShowsTheBuiltInOne) {
    m_device.set_dword(u"Software\\Nemora\\Telvane\\", u"Version", 2);
    Open();
    EXPECT_EQ(Version(), u"1.0.0.0");
}

TEST_F(AboutBoxTest, TheMakersFlagHidesTheCompanyLineAndTheLogo) {
    m_device.set_dword(u"SOFTWARE\\Nemora", u"ODM_AP", 1);
    Open();
    EXPECT_TRUE(Shown(IDC_ABOUT_TITLE) && Shown(IDC_ABOUT_VERSION) && Shown(IDC_ABOUT_NOTICE));
    EXPECT_FALSE(Shown(IDC_ABOUT_COMPANY));
    EXPECT_FALSE(Shown(IDC_ABOUT_LOGO));
}

class AboutBoxScreens : public AboutBoxTest, public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(AboutBoxScreens, IsKeptAsAScreenshot) {
    const std::string name = GetParam().name;
    handset::Screen::instance().set_profile(GetParam().profile);
    Open();
    ASSERT_TRUE(m_program->wait_until_painted(kProgramWait));
    EXPECT_TRUE(
        handset::write_png(std::filesystem::path(SCREENSHOT_DIR) / ("about_" + name + ".png"),
                           handset::Screen::instance().compose()));
    EXPECT_TRUE(Shown(IDC_ABOUT_LOGO));
}

INSTANTIATE_TEST_SUITE_P(AtEachScreen, AboutBoxScreens, EachScreen(), ScreenName);

TEST_F(AboutBoxTest, ALockedSimFoundWhenTheBoxComesUpEndsTheProgramWithoutAMessage) {
    Start();
    Card().update_state([](handset::CardState& state) { state.lock = handset::PinLock::pin; });
    PostMessageW(m_main, WM_COMMAND, ID_ABOUT, 0);
    EXPECT_EQ(m_program.exit_code(), std::optional<int>(0));
    EXPECT_TRUE(handset::open_message_boxes().empty());
}
