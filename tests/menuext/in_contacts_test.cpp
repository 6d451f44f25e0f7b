#include "contacts_fixture.h"
#include "menuext/quorrel.h"
#include "quorrel_ids.h"

#include <filesystem>

namespace {

class QuorrelInContactsTest : public ContactsTest {};

} // namespace

// The Contacts application loads the library from the registry, shows its item, and the dialog
// it opens belongs to the Contacts window. Once every object is gone the library may and does go.
TEST_F(QuorrelInContactsTest, CopyToSimOpensTheDialogOwnedByTheContactsWindow) {
    std::filesystem::copy_file(QUORREL_LANGUAGE_FILE, m_device.folder() / "Quorrel.dll.0409.mui");
    RegisterExtension(CLSID_MenuExt, QUORREL_PATH);
    AddContact(u"Anna", u"Adams", u"0301");
    Start();
    HWND menu = HoldRow(0);
    ASSERT_TRUE(menu);
    Pick(menu, 3);
    HWND tree = m_driver.wait_for_window({u"SysTreeView32", std::nullopt, IDC_CONTACTS}, kWait);
    ASSERT_TRUE(tree);
    HWND dialog = GetParent(tree);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), m_window);
    ASSERT_TRUE(m_driver.wait_until_idle(kWait));
    EXPECT_TRUE(LibraryIsLoaded(QUORREL_PATH));

    PostMessageW(dialog, WM_COMMAND, IDM_GO_BACK, 0);
    ASSERT_TRUE(m_driver.wait_until([&] { return !IsWindow(dialog); }, kWait));
    EXPECT_TRUE(DebugSays("Quorrel: ReleaseMUI->FreeLibrary")) << "the language file was used";
    EXPECT_EQ(Close(), std::optional<int>(0));
    EXPECT_TRUE(DebugSays("Quorrel: +DllCanUnloadNow"));
    EXPECT_FALSE(LibraryIsLoaded(QUORREL_PATH));
}
