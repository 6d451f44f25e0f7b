// The Contacts application on a test device, in this process, worked through the automation
// driver as a person would, with the store reached beside it as handsetctl reaches it.
#pragma once

#include "test_device.h"
#include "test_menu_extension.h"

#include "automation/driver.h"
#include "automation/window_input.h"
#include "com/guid_text.h"
#include "display/shell_input.h"
#include "host/contacts_ids.h"
#include "poom/contact_store.h"
#include "registry/key_path.h"
#include "registry/registry_editor.h"
#include "user/popup_menu.h"

#include <commctrl.h>
#include <shlobj.h>
#include <wingdi.h>
#include <winuser.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

extern int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR pszCmdLine,
                          int nCmdShow);

inline constexpr handset::Milliseconds kWait{10000};

struct Row {
    std::u16string name;
    std::u16string number;
    friend bool operator==(const Row&, const Row&) = default;
};

inline void PrintTo(const Row& row, std::ostream* out) {
    *out << "{" << ::testing::PrintToString(row.name) << ", "
         << ::testing::PrintToString(row.number) << "}";
}

inline bool LibraryIsLoaded(const char* path) {
    void* handle = dlopen(path, RTLD_LAZY | RTLD_NOLOAD);
    if (handle != nullptr) {
        dlclose(handle);
    }
    return handle != nullptr;
}

class ContactsTest : public ::testing::Test {
  protected:
    ContactsTest() : m_input(m_window_system), m_driver(m_input) {
        handset::StoreResult result;
        m_store = handset::ContactStore::create(m_device.folder() / "contacts.db", result);
        EXPECT_TRUE(m_store) << result.detail;
    }

    // A test that stopped half-way leaves no program running behind it.
    void TearDown() override {
        if (m_driver.running()) {
            for (HWND box = m_driver.wait_for_message_box(handset::Milliseconds(0)); box;
                 box = m_driver.wait_for_message_box(handset::Milliseconds(0))) {
                m_driver.answer(box);
            }
            m_driver.close_program();
            m_driver.wait_for_exit(kWait);
        }
    }

    int64_t AddContact(std::u16string first, std::u16string last, std::u16string mobile = u"",
                       std::u16string home = u"", std::u16string work = u"",
                       std::u16string email = u"") {
        handset::ContactRecord contact;
        contact[handset::ContactField::first_name] = std::move(first);
        contact[handset::ContactField::last_name] = std::move(last);
        contact[handset::ContactField::mobile_telephone] = std::move(mobile);
        contact[handset::ContactField::home_telephone] = std::move(home);
        contact[handset::ContactField::business_telephone] = std::move(work);
        contact[handset::ContactField::email1] = std::move(email);
        EXPECT_TRUE(m_store->add(contact).ok());
        return contact.id;
    }

    std::vector<handset::ContactRecord> StoredContacts() {
        std::vector<handset::ContactRecord> contacts;
        EXPECT_TRUE(m_store->list(contacts).ok());
        return contacts;
    }

    // The class's library, and its entry under the Contacts application's context-menu key.
    void RegisterExtension(const CLSID& clsid, const std::string& library) {
        const std::u16string name = handset::guid_to_text(clsid);
        const handset::RegistryEdit edit = handset::edit_registry_file(
            m_device.folder() / "registry.reg", [&](handset::RegistryTree& tree) {
                tree.root(handset::RegistryRoot::classes_root)
                    .descendant_or_add({u"CLSID", name, u"InprocServer32"})
                    .set_value(u"", handset::RegistryValue::string(
                                        std::u16string(library.begin(), library.end())));
                std::vector<std::u16string> key =
                    *handset::split_key_path(REGKEY_CONTACTS_ITEM_CONTEXT_MENUS);
                key.push_back(name);
                tree.root(handset::RegistryRoot::local_machine).descendant_or_add(key);
                return true;
            });
        ASSERT_EQ(edit.status, handset::RegistryEdit::Status::changed) << edit.error;
    }

    void Start() {
        m_driver.start(WinMain, m_device.folder());
        m_list = m_driver.wait_for_window({WC_LISTVIEW, std::nullopt, IDC_LIST}, kWait);
        ASSERT_TRUE(m_list);
        m_window = GetParent(m_list);
        ASSERT_TRUE(m_driver.wait_until_idle(kWait));
    }

    std::vector<Row> Rows() {
        std::vector<Row> rows;
        const int count = static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            rows.push_back({Cell(row, 0), Cell(row, 1)});
        }
        return rows;
    }

    int SelectedRow() {
        return static_cast<int>(
            SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }

    bool RowsBecome(const std::vector<Row>& rows) {
        return m_driver.wait_until([&] { return Rows() == rows; }, kWait);
    }

    // The middle of a row on the screen: the list's rows, and its header above them, are each a
    // line of its font high with two pixels (at 96 dpi) above and below.
    POINT RowPoint(int row) {
        const HDC dc = GetDC(m_list);
        const HGDIOBJ previous =
            SelectObject(dc, HGDIOBJ(static_cast<DWORD>(SendMessageW(m_list, WM_GETFONT, 0, 0))));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        const int scale = GetDeviceCaps(dc, LOGPIXELSX) / 96;
        SelectObject(dc, previous);
        ReleaseDC(m_list, dc);
        const int height = metrics.tmHeight + 4 * scale;
        POINT point{40 * scale, (row + 1) * height + height / 2};
        ClientToScreen(m_list, &point);
        return point;
    }

    HWND WaitForMenu() {
        return m_driver.wait_for_window({u"#32768", std::nullopt, std::nullopt}, kWait);
    }

    HWND HoldRow(int row) {
        m_driver.hold(RowPoint(row));
        return WaitForMenu();
    }

    HWND PressMenu() {
        m_driver.press_key(VK_TSOFT2);
        return WaitForMenu();
    }

    static std::vector<std::u16string> MenuItems(HWND popup) {
        std::vector<std::u16string> items;
        const HMENU menu = handset::popup_menu_of(popup);
        for (int at = 0; at < GetMenuItemCount(menu); ++at) {
            WCHAR text[100] = {};
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_TYPE;
            info.dwTypeData = text;
            info.cch = 100;
            GetMenuItemInfoW(menu, static_cast<UINT>(at), TRUE, &info);
            items.emplace_back((info.fType & MFT_SEPARATOR) ? u"-" : text);
        }
        return items;
    }

    // Taps the item and waits until the menu has gone.
    void Pick(HWND popup, int position) {
        const std::optional<RECT> item = handset::popup_menu_item_rect(popup, position);
        ASSERT_TRUE(item);
        m_driver.tap(POINT{(item->left + item->right) / 2, (item->top + item->bottom) / 2});
        ASSERT_TRUE(m_driver.wait_until([&] { return !IsWindow(popup); }, kWait));
    }

    void Dismiss(HWND popup) {
        m_driver.press_key(VK_ESCAPE);
        ASSERT_TRUE(m_driver.wait_until([&] { return !IsWindow(popup); }, kWait));
    }

    handset::MessageBoxContent AnswerBox() {
        const HWND box = m_driver.wait_for_message_box(kWait);
        EXPECT_TRUE(box) << "no message box opened";
        if (!box) {
            return {};
        }
        std::optional<handset::MessageBoxContent> content = m_driver.message_box(box);
        EXPECT_TRUE(m_driver.answer(box));
        return content.value_or(handset::MessageBoxContent{});
    }

    std::optional<int> Close() {
        m_driver.close_program();
        return m_driver.wait_for_exit(kWait);
    }

    bool DebugSays(const std::string& text) {
        for (const std::string& line : m_driver.debug_lines()) {
            if (line.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    TestDevice m_device;
    std::unique_ptr<handset::ContactStore> m_store;
    handset::WindowSystemInput m_window_system;
    handset::ShellInput m_input;
    handset::Driver m_driver;
    HWND m_list = nullptr;
    HWND m_window = nullptr;

  private:
    std::u16string Cell(int row, int column) {
        WCHAR text[200] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 200;
        SendMessageW(m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }
};
