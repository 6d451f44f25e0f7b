#include "contacts_fixture.h"

#include <gtest/gtest.h>

namespace {

class EditorTest : public ContactsTest {
  protected:
    // Waits for the form, with its first field focused.
    void WaitForEditor() {
        HWND first = m_driver.wait_for_window({u"Edit", std::nullopt, IDC_FIRST_NAME}, kWait);
        ASSERT_TRUE(first);
        m_editor = GetParent(first);
        ASSERT_TRUE(m_driver.wait_until_idle(kWait));
    }

    std::u16string Text(int id) {
        WCHAR text[200] = {};
        GetWindowTextW(GetDlgItem(m_editor, id), text, 200);
        return text;
    }

    void TypeInto(int id, std::u16string_view text) {
        RECT rect{};
        GetWindowRect(GetDlgItem(m_editor, id), &rect);
        m_driver.tap(POINT{rect.right - 4, (rect.top + rect.bottom) / 2});
        m_driver.press_key(VK_END);
        m_driver.type(text);
        m_driver.wait_until_idle(kWait);
    }

    void Done() { m_driver.press_key(VK_TSOFT1); }

    bool EditorClosed() {
        return m_driver.wait_until([&] { return !IsWindow(m_editor); }, kWait);
    }

    HWND m_editor = nullptr;
};

TEST_F(EditorTest, NewSavesEveryFieldToTheStoreAndSelectsTheContactInTheList) {
    AddContact(u"Anna", u"Adams", u"0301");
    AddContact(u"Zoe", u"Zander", u"0309");
    Start();
    m_driver.press_key(VK_TSOFT1);
    WaitForEditor();
    WCHAR title[50] = {};
    GetWindowTextW(m_editor, title, 50);
    EXPECT_EQ(std::u16string(title), u"New Contact");

    m_driver.type(u"J\u00FCrgen");
    TypeInto(IDC_LAST_NAME, u"Meyer");
    TypeInto(IDC_MOBILE, u"+49 172 555");
    TypeInto(IDC_HOME, u"030 1234");
    TypeInto(IDC_WORK, u"040 9876");
    TypeInto(IDC_EMAIL, u"j@example.org");
    Done();
    ASSERT_TRUE(EditorClosed());

    std::vector<handset::ContactRecord> stored = StoredContacts();
    ASSERT_EQ(stored.size(), 3u);
    const handset::ContactRecord& added = stored[1];
    EXPECT_EQ(added[handset::ContactField::first_name], u"J\u00FCrgen");
    EXPECT_EQ(added[handset::ContactField::last_name], u"Meyer");
    EXPECT_EQ(added[handset::ContactField::mobile_telephone], u"+49 172 555");
    EXPECT_EQ(added[handset::ContactField::home_telephone], u"030 1234");
    EXPECT_EQ(added[handset::ContactField::business_telephone], u"040 9876");
    EXPECT_EQ(added[handset::ContactField::email1], u"j@example.org");
    ASSERT_TRUE(RowsBecome({{u"Adams, Anna", u"0301 m"},
                            {u"Meyer, J\u00FCrgen", u"+49 172 555 m"},
                            {u"Zander, Zoe", u"0309 m"}}));
    EXPECT_EQ(SelectedRow(), 1);
}

TEST_F(EditorTest, EditFromTheMenuSoftKeyChangesTheSelectedContactInPlace) {
    AddContact(u"Anna", u"Adams", u"0301");
    const int64_t ben = AddContact(u"Ben", u"Berg", u"0302", u"", u"", u"ben@example.org");
    Start();
    SendMessageW(m_list, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_EQ(SelectedRow(), 1);
    HWND menu = PressMenu();
    ASSERT_TRUE(menu);
    Pick(menu, 1);
    WaitForEditor();
    EXPECT_EQ(Text(IDC_FIRST_NAME), u"Ben");
    EXPECT_EQ(Text(IDC_EMAIL), u"ben@example.org");

    TypeInto(IDC_FIRST_NAME, u"jamin");
    SetWindowTextW(GetDlgItem(m_editor, IDC_MOBILE), u"");
    TypeInto(IDC_WORK, u"040 1");
    Done();
    ASSERT_TRUE(EditorClosed());

    std::vector<handset::ContactRecord> stored = StoredContacts();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1].id, ben);
    EXPECT_EQ(stored[1][handset::ContactField::first_name], u"Benjamin");
    EXPECT_EQ(stored[1][handset::ContactField::mobile_telephone], u"");
    EXPECT_EQ(stored[1][handset::ContactField::email1], u"ben@example.org");
    EXPECT_TRUE(RowsBecome({{u"Adams, Anna", u"0301 m"}, {u"Berg, Benjamin", u"040 1 w"}}));
    EXPECT_EQ(SelectedRow(), 1);
}

TEST_F(EditorTest, CancelLeavesTheStoreAsItWas) {
    AddContact(u"Anna", u"Adams", u"0301");
    Start();
    HWND menu = HoldRow(0);
    ASSERT_TRUE(menu);
    Pick(menu, 1);
    WaitForEditor();
    TypeInto(IDC_LAST_NAME, u"-Smith");
    m_driver.press_key(VK_TSOFT2);
    ASSERT_TRUE(EditorClosed());
    EXPECT_EQ(StoredContacts()[0][handset::ContactField::last_name], u"Adams");
}

TEST_F(EditorTest, AContactWithoutAnyNameIsRefusedAndTheFormKeepsWhatWasTyped) {
    Start();
    m_driver.press_key(VK_TSOFT1);
    WaitForEditor();
    TypeInto(IDC_MOBILE, u"0172");
    Done();
    handset::MessageBoxContent box = AnswerBox();
    EXPECT_EQ(box.text, u"Enter a first or last name for the contact.");
    EXPECT_TRUE(IsWindow(m_editor));
    EXPECT_EQ(Text(IDC_MOBILE), u"0172");
    EXPECT_TRUE(StoredContacts().empty());
}

TEST_F(EditorTest, AFullStoreSaysSoAndNothingIsWritten) {
    for (int i = 0; i < 20; ++i) {
        AddContact(u"Filler", u"Number " + std::u16string(1, static_cast<char16_t>(u'A' + i)),
                   u"0301");
    }
    // A quota below what the store takes already: nothing more fits.
    ASSERT_TRUE(m_store->set_quota_bytes(1).ok());
    Start();
    m_driver.press_key(VK_TSOFT1);
    WaitForEditor();
    m_driver.type(u"Anna");
    // More than the free room of the store's last page.
    SetWindowTextW(GetDlgItem(m_editor, IDC_LAST_NAME), std::u16string(1000, u'x').c_str());
    SetWindowTextW(GetDlgItem(m_editor, IDC_EMAIL), std::u16string(1000, u'y').c_str());
    Done();
    handset::MessageBoxContent box = AnswerBox();
    EXPECT_EQ(box.text,
              u"Storage is full. The contact was not saved. Delete some items and try again.");
    EXPECT_EQ(box.caption, u"Contacts");
    EXPECT_TRUE(IsWindow(m_editor)) << "the form stays open with what was typed";
    EXPECT_EQ(Text(IDC_FIRST_NAME), u"Anna");
    EXPECT_EQ(StoredContacts().size(), 20u);
}

} // namespace
