#include "contacts_fixture.h"
#include "screen_cases.h"

#include <gtest/gtest.h>

namespace {

using ListTest = ContactsTest;

TEST_F(ListTest, ContactsAreFiledLastThenFirstWithTheNumberTheyAreCalledOnFirst) {
    AddContact(u"Zoe", u"Adams", u"", u"0301 111", u"");
    AddContact(u"Anna", u"Berg", u"0172 555", u"0301 222", u"0301 999");
    AddContact(u"", u"Meyer", u"", u"0301 333", u"0301 444");
    AddContact(u"Alex", u"adams");
    AddContact(u"Cher", u"");
    Start();
    EXPECT_EQ(Rows(), (std::vector<Row>{{u"adams, Alex", u""},
                                        {u"Adams, Zoe", u"0301 111 h"},
                                        {u"Berg, Anna", u"0172 555 m"},
                                        {u"Cher", u""},
                                        {u"Meyer", u"0301 444 w"}}));
    EXPECT_EQ(SelectedRow(), 0);
}

TEST_F(ListTest, ContactsChangedByAnotherProgramShowWhenTheWindowIsActivatedAgain) {
    AddContact(u"Anna", u"Berg", u"0172");
    Start();
    AddContact(u"Otto", u"Adler", u"0160");
    SendMessageW(m_window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(RowsBecome({{u"Adler, Otto", u"0160 m"}, {u"Berg, Anna", u"0172 m"}}));
}

TEST_F(ListTest, DeleteFromTheContextMenuRemovesTheHeldContactFromTheStore) {
    AddContact(u"Anna", u"Adams", u"0301");
    const int64_t ben = AddContact(u"Ben", u"Berg", u"0302");
    AddContact(u"Carl", u"Cole", u"0303");
    Start();
    HWND menu = HoldRow(1);
    ASSERT_TRUE(menu);
    EXPECT_EQ(SelectedRow(), 1);
    Pick(menu, 2);
    ASSERT_TRUE(RowsBecome({{u"Adams, Anna", u"0301 m"}, {u"Cole, Carl", u"0303 m"}}));
    for (const handset::ContactRecord& contact : StoredContacts()) {
        EXPECT_NE(contact.id, ben);
    }
    EXPECT_EQ(StoredContacts().size(), 2u);
    EXPECT_EQ(SelectedRow(), 1) << "the selection stays on the neighbour";
}

TEST_F(ListTest, CallDialsTheMainNumberAndIsGreyedForAContactWithoutOne) {
    AddContact(u"Anna", u"Adams", u"", u"0301 77");
    AddContact(u"Ben", u"Berg");
    m_device.card();
    Start();
    HWND menu = HoldRow(1);
    ASSERT_TRUE(menu);
    EXPECT_TRUE(GetMenuState(handset::popup_menu_of(menu), ID_CALL, MF_BYCOMMAND) & MF_GRAYED);
    Dismiss(menu);

    menu = HoldRow(0);
    ASSERT_TRUE(menu);
    Pick(menu, 0);
    handset::CardFile card = handset::CardFile::open(m_device.folder() / "sim.db");
    ASSERT_TRUE(m_driver.wait_until([&] { return !card.calls().empty(); }, kWait));
    EXPECT_EQ(card.calls().front().number, u"0301 77");
    EXPECT_EQ(card.calls().front().name, u"Adams, Anna");
}

TEST_F(ListTest, ClosingTheWindowEndsTheProgramNormally) {
    Start();
    EXPECT_EQ(Close(), std::optional<int>(0));
}

class ListScreens : public ContactsTest, public ::testing::WithParamInterface<ScreenCase> {};

// Pictures for a person to look at: the list, and its context menu with an extension's item.
TEST_P(ListScreens, TheListAndItsContextMenuFillTheScreenAboveTheMenuBar) {
    handset::Screen::instance().set_profile(GetParam().profile);
    RegisterExtension(CLSID_TestMenuExt, TEST_MENU_EXT_PATH);
    AddContact(u"Anna", u"Berg", u"0172 555 0101");
    AddContact(u"Zoe", u"Adams", u"", u"0301 111 22");
    AddContact(u"Otto", u"Meyer", u"", u"", u"040 333 44");
    Start();
    RECT window{};
    GetWindowRect(m_window, &window);
    EXPECT_EQ(window.right - window.left, 240 * GetParam().scale);
    const std::string name = GetParam().name;
    EXPECT_TRUE(
        m_driver.screenshot(std::string(SCREENSHOT_DIR) + "/contacts-list-" + name + ".png"));
    HWND menu = HoldRow(1);
    ASSERT_TRUE(menu);
    EXPECT_TRUE(
        m_driver.screenshot(std::string(SCREENSHOT_DIR) + "/contacts-menu-" + name + ".png"));
    Dismiss(menu);
}

INSTANTIATE_TEST_SUITE_P(Screens, ListScreens, EachScreen(), ScreenName);

} // namespace
