#include "contacts_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ExtensionMenuTest : public ContactsTest {
  protected:
    int CountLines(const std::string& text) {
        int count = 0;
        for (const std::string& line : m_driver.debug_lines()) {
            count += line.find(text) != std::string::npos ? 1 : 0;
        }
        return count;
    }
};

const std::vector<std::u16string> kOwnItems = {u"Call", u"Edit", u"Delete"};
const std::vector<std::u16string> kWithTestItem = {u"Call", u"Edit", u"Delete",
                                                   TEST_MENU_EXT_COMMAND};

TEST_F(ExtensionMenuTest, TheExtensionsItemFollowsTheThreeOwnCommandsOnHoldAndOnTheMenuKey) {
    RegisterExtension(CLSID_TestMenuExt, TEST_MENU_EXT_PATH);
    AddContact(u"Anna", u"Adams", u"0301");
    Start();
    // Made anew for each showing: the item is there once, however often the menu is shown.
    for (int showing = 0; showing < 2; ++showing) {
        HWND menu = HoldRow(0);
        ASSERT_TRUE(menu);
        EXPECT_EQ(MenuItems(menu), kWithTestItem);
        Dismiss(menu);
        menu = PressMenu();
        ASSERT_TRUE(menu);
        EXPECT_EQ(MenuItems(menu), kWithTestItem);
        Dismiss(menu);
    }
    EXPECT_EQ(CountLines("TestMenuExt: query at 3 of 3 items, identifiers 4096 to 32767"), 4);
    EXPECT_EQ(CountLines("TestMenuExt: invoke"), 0) << "nothing was picked";
}

TEST_F(ExtensionMenuTest, TheExtensionGetsTheSelectionAndIsInvokedWithTheRecordAndTheWindow) {
    RegisterExtension(CLSID_TestMenuExt, TEST_MENU_EXT_PATH);
    AddContact(u"Anna", u"Adams", u"0301");
    const int64_t ben = AddContact(u"Ben", u"Berg", u"0302");
    Start();
    HWND menu = HoldRow(1);
    ASSERT_TRUE(menu);
    EXPECT_TRUE(DebugSays("TestMenuExt: selection 1: " + std::to_string(ben)));
    Pick(menu, 3);

    handset::MessageBoxContent box = AnswerBox();
    EXPECT_EQ(box.text, TEST_MENU_EXT_BOX);
    char owner[20];
    std::snprintf(owner, sizeof owner, "0x%X", static_cast<unsigned>(m_window.value()));
    // The factory and the command object are alive: the host still holds its reference.
    EXPECT_TRUE(DebugSays(std::string("TestMenuExt: invoke size 36 verb 0 owner ") + owner +
                          " with 1 objects"))
        << ::testing::PrintToString(m_driver.debug_lines());
    EXPECT_EQ(StoredContacts().size(), 2u) << "the extension's command is not the host's";
}

TEST_F(ExtensionMenuTest, ExtensionsThatCannotServeAreLeftOutAndTheDebugOutputSaysWhy) {
    const std::string missing = (m_device.folder() / "Missing.dll").string();
    RegisterExtension(CLSID_FailingMenuExt, TEST_MENU_EXT_PATH);
    RegisterExtension(CLSID_UnservedMenuExt, TEST_MENU_EXT_PATH);
    // {5E0A7A13-...}: its library is not there.
    const CLSID absent = {
        0x5E0A7A13, 0x3C1B, 0x4F2E, {0x8D, 0x6A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x01}};
    RegisterExtension(absent, missing);
    RegisterExtension(CLSID_TestMenuExt, TEST_MENU_EXT_PATH);
    AddContact(u"Anna", u"Adams", u"0301");
    Start();
    HWND menu = HoldRow(0);
    ASSERT_TRUE(menu);
    EXPECT_EQ(MenuItems(menu), kWithTestItem);
    Dismiss(menu);

    EXPECT_TRUE(DebugSays("menu extension {5E0A7A11-3C1B-4F2E-8D6A-1B2C3D4E5F01} left out: it "
                          "added no items (0x80004005)"));
    EXPECT_TRUE(DebugSays("menu extension {5E0A7A12-3C1B-4F2E-8D6A-1B2C3D4E5F01} left out: its "
                          "library does not serve the class (0x80040111)"));
    EXPECT_TRUE(DebugSays("menu extension {5E0A7A13-3C1B-4F2E-8D6A-1B2C3D4E5F01} left out: its "
                          "library cannot be loaded (0x8007007E)"));
    EXPECT_TRUE(DebugSays("Missing.dll"));

    // The program goes on: its own commands still work.
    menu = HoldRow(0);
    ASSERT_TRUE(menu);
    Pick(menu, 2);
    EXPECT_TRUE(RowsBecome({}));
    EXPECT_EQ(Close(), std::optional<int>(0));
}

TEST_F(ExtensionMenuTest, AnEntryWithoutARegisteredClassOrAClassIdentifierIsLeftOut) {
    const std::vector<std::u16string> key =
        *handset::split_key_path(REGKEY_CONTACTS_ITEM_CONTEXT_MENUS);
    const handset::RegistryEdit edit = handset::edit_registry_file(
        m_device.folder() / "registry.reg", [&](handset::RegistryTree& tree) {
            handset::RegistryKey& menus =
                tree.root(handset::RegistryRoot::local_machine).descendant_or_add(key);
            menus.child_or_add(u"{5E0A7A14-3C1B-4F2E-8D6A-1B2C3D4E5F01}");
            menus.child_or_add(u"Quorrel");
            return true;
        });
    ASSERT_EQ(edit.status, handset::RegistryEdit::Status::changed) << edit.error;
    AddContact(u"Anna", u"Adams", u"0301");
    Start();
    HWND menu = PressMenu();
    ASSERT_TRUE(menu);
    EXPECT_EQ(MenuItems(menu), kOwnItems);
    Dismiss(menu);
    EXPECT_TRUE(DebugSays("{5E0A7A14-3C1B-4F2E-8D6A-1B2C3D4E5F01} left out: its class is not "
                          "registered (0x80040154)"));
    EXPECT_TRUE(DebugSays("menu extension key \"Quorrel\" is not a class identifier"));
}

TEST_F(ExtensionMenuTest, TheLibraryStaysWhileItsCommandRunsAndUnloadsWithItsDetachAtTheEnd) {
    RegisterExtension(CLSID_TestMenuExt, TEST_MENU_EXT_PATH);
    AddContact(u"Anna", u"Adams", u"0301");
    ASSERT_FALSE(LibraryIsLoaded(TEST_MENU_EXT_PATH));
    Start();
    EXPECT_FALSE(LibraryIsLoaded(TEST_MENU_EXT_PATH)) << "loaded only for a menu";

    HWND menu = HoldRow(0);
    ASSERT_TRUE(menu);
    Pick(menu, 3);
    HWND box = m_driver.wait_for_message_box(kWait);
    ASSERT_TRUE(box);
    // The command's box is up, inside InvokeCommand.
    EXPECT_TRUE(LibraryIsLoaded(TEST_MENU_EXT_PATH));
    EXPECT_FALSE(DebugSays("TestMenuExt: detach"));
    EXPECT_EQ(GetWindow(box, GW_OWNER), m_window);
    EXPECT_TRUE(m_driver.answer(box));

    // Released after the command, but freed only when COM ends with the program.
    ASSERT_TRUE(m_driver.wait_until_idle(kWait));
    EXPECT_TRUE(LibraryIsLoaded(TEST_MENU_EXT_PATH));
    EXPECT_FALSE(DebugSays("TestMenuExt: detach"));

    EXPECT_EQ(Close(), std::optional<int>(0));
    EXPECT_EQ(CountLines("TestMenuExt: attach"), 1);
    EXPECT_EQ(CountLines("TestMenuExt: detach"), 1);
    EXPECT_FALSE(LibraryIsLoaded(TEST_MENU_EXT_PATH));
}

} // namespace
