#include "program_driver.h"
#include "telvane_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Refusal {
    const char* name;
    std::function<void(TestDevice&)> prepare;
    const char16_t* text;
    const char16_t* caption;
    UINT icon;
};

class StartRefusal : public ProgramTest, public ::testing::WithParamInterface<Refusal> {};

const char16_t kPhoneKey[] = u"System\\State\\Phone";

std::function<void(TestDevice&)> PhoneStatus(DWORD value) {
    return [value](TestDevice& device) { device.set_dword(kPhoneKey, u"Status", value); };
}

// A phone that passes its gate, with a card changed as given.
std::function<void(TestDevice&)> ReadyPhoneWithCard(void (*change)(handset::CardState&)) {
    return [change](TestDevice& device) {
        device.set_dword(kPhoneKey, u"Status", 0x20);
        device.card().update_state(change);
    };
}

} // namespace

TEST_P(StartRefusal, ShowsWhyMarksTheWindowAndEndsWithCodeZero) {
    const Refusal& refusal = GetParam();
    refusal.prepare(m_device);

    m_program.start(m_device);
    HWND box = m_program->wait_for_message_box(kProgramWait);
    ASSERT_TRUE(box);
    EXPECT_EQ(StateMarker(), APP_STATE_STARTERROR);
    handset::MessageBoxContent content = m_program.answer_box();
    EXPECT_EQ(content.text, refusal.text);
    EXPECT_EQ(content.caption, refusal.caption);
    EXPECT_EQ(content.style & MB_ICONMASK, refusal.icon);
    EXPECT_EQ(m_program.exit_code(), std::optional<int>(0));
    EXPECT_FALSE(m_program->find({u"SysTreeView32", std::nullopt, std::nullopt}));
}

INSTANTIATE_TEST_SUITE_P(
    PhoneAndSIMGates, StartRefusal,
    ::testing::Values(
        Refusal{"StatusZero", PhoneStatus(0), u"SIM card error is unknown.", u"Error", MB_ICONHAND},
        Refusal{"StatusMissing",
                [](TestDevice& device) { device.delete_value(kPhoneKey, u"Status"); },
                u"SIM card error is unknown.", u"Error", MB_ICONHAND},
        Refusal{"StatusNotANumber",
                [](TestDevice& device) { device.set_string(kPhoneKey, u"Status", u"32"); },
                u"SIM card error is unknown.", u"Error", MB_ICONHAND},
        Refusal{"InvalidWinsOverRemovedAndRadio", PhoneStatus(0x16), u"SIM card is invalid.",
                u"Warning", MB_ICONEXCLAMATION},
        Refusal{"Removed", PhoneStatus(0x12), u"SIM card is removed.", u"Warning",
                MB_ICONEXCLAMATION},
        Refusal{"RadioOff", PhoneStatus(0x10), u"Radio is off.", u"Warning", MB_ICONEXCLAMATION},
        Refusal{"PukBeforePin",
                ReadyPhoneWithCard([](handset::CardState& s) { s.lock = handset::PinLock::puk; }),
                u"SIM card is locked and Telvane will not initialize.", u"Warning",
                MB_ICONEXCLAMATION},
        Refusal{"Pin",
                ReadyPhoneWithCard([](handset::CardState& s) { s.lock = handset::PinLock::pin; }),
                u"PIN lock is enabled and Telvane will not initialize.", u"Warning",
                MB_ICONEXCLAMATION},
        Refusal{"FixedDialling",
                ReadyPhoneWithCard([](handset::CardState& s) { s.fixed_dialling = true; }),
                u"Fixed dialing is enabled and Telvane will not initialize.", u"Warning",
                MB_ICONEXCLAMATION},
        Refusal{"PhonebookNotReady",
                ReadyPhoneWithCard([](handset::CardState& s) { s.phonebook_ready = false; }),
                u"SIM card is not ready.", u"Error", MB_ICONHAND}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST_F(ProgramTest, AGoodStartChecksInOrderMarksTheWindowAndOpensTheMainView) {
    m_program.start(m_device);
    ASSERT_TRUE(WaitForMainView());
    EXPECT_EQ(StateMarker(), APP_STATE_RUNNING);
    EXPECT_EQ(APP_GetCurrentDialog(), IDD_MAIN);

    const std::vector<std::string> expected = {"Check Phone Status OK!", "PUK Lock == FALSE",
                                               "PIN Lock == FALSE",      "SIM Ready == TRUE",
                                               "FDN Enable == FALSE",    "Check SIM Status OK!"};
    std::vector<std::string> lines = m_program->debug_lines();
    auto at = lines.begin();
    for (const std::string& text : expected) {
        at = std::find(at, lines.end(), "Telvane <RD_INFO>: " + text);
        ASSERT_NE(at, lines.end()) << "missing or out of order: " << text;
    }
    CloseProgram();
}

TEST_F(ProgramTest, DialogsOpenOverTheMainViewAndCloseBackToIt) {
    m_program.start(m_device);
    ASSERT_TRUE(WaitForFill());

    APP_OpenDialog(506, nullptr, 0);
    EXPECT_EQ(APP_GetCurrentDialog(), IDD_MAIN);

    m_program->press_key(VK_TSOFT1);
    ASSERT_TRUE(
        m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_NEW; }, kProgramWait));
    m_program->press_key(VK_ESCAPE);
    ASSERT_TRUE(
        m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_MAIN; }, kProgramWait));
    CloseProgram();
}

namespace {

class WithoutPictures : public ProgramTest, public ::testing::WithParamInterface<Pictures> {
  protected:
    WithoutPictures() : ProgramTest(GetParam()) {}
};

} // namespace

TEST_P(WithoutPictures, TheStartWarnsAndGoesOn) {
    m_program.start(m_device);
    handset::MessageBoxContent content = m_program.answer_box();
    EXPECT_EQ(content.text, u"No pictures could be loaded!");
    EXPECT_EQ(content.caption, u"Warning");
    EXPECT_TRUE(WaitForMainView());
    CloseProgram();
}

INSTANTIATE_TEST_SUITE_P(PictureLibrary, WithoutPictures,
                         ::testing::Values(Pictures::missing, Pictures::damaged),
                         [](const ::testing::TestParamInfo<Pictures>& info) {
                             return info.param == Pictures::missing ? "Missing" : "Damaged";
                         });
