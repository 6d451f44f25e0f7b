#include "display/png_file.h"
#include "faulty_card.h"
#include "gdi/screen.h"
#include "poom/contact_store.h"
#include "program_driver.h"
#include "screen_cases.h"
#include "tree_items.h"
#include "views/main_view.h"
#include "views/tree.h"

#include <aygshell.h>
#include <commctrl.h>
#include <simmgr.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using handset::ContactField;
using handset::ContactRecord;

const std::u16string kDeleted = u"Contact entry deleted.";
const std::u16string kCopied = u"Contact entry copied.";
const std::u16string kCopyFailed = u"Unknown error when copying SIM entries to contact.";
const std::u16string kStorageFull = u"Device storage is full.";
const std::string kListFilled =
    "Telvane <RD_INFO>: CTRL_CONFIRM_EnableMenu: Enable Menubar == TRUE";

class ConfirmViewTest : public ProgramTest {
  protected:
    ConfirmViewTest() {
        handset::StoreResult result;
        handset::ContactStore::create(m_device.folder() / "contacts.db", result);
    }

    void Check(std::u16string_view name) {
        for (const Item& item : ReadTree(m_tree)) {
            if (item.text == name) {
                TREE_CHECKBOX_Toggle(m_tree, item.handle);
            }
        }
    }

    int ListFills() {
        std::vector<std::string> lines = m_program->debug_lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), kListFilled));
    }

    // Opens the confirmation list for the command and waits until its list is filled.
    void Open(UINT command) {
        int filled = ListFills();
        PostMessageW(m_main, WM_COMMAND, command, 0);
        ASSERT_TRUE(m_program->wait_until([&] { return ListFills() > filled; }, kProgramWait));
        m_list = m_program->wait_for_window({u"SysListView32", std::nullopt, IDC_ENTRY_LIST},
                                            kProgramWait);
        ASSERT_TRUE(m_list);
        m_dialog = GetParent(m_list);
        ASSERT_TRUE(m_program->wait_until_idle(kProgramWait));
    }

    std::u16string Cell(int row, int column) {
        WCHAR text[260] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 260;
        SendMessageW(m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }

    std::vector<std::u16string> Rows() {
        std::vector<std::u16string> rows;
        int count = static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            rows.push_back(Cell(row, 0) + u" " + Cell(row, 1));
        }
        return rows;
    }

    bool BackInTheMainView(int fills) {
        return m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_MAIN; },
                                     kProgramWait) &&
               WaitForFill(fills);
    }

    std::vector<std::u16string> CardNames() {
        std::vector<std::u16string> names;
        for (const handset::StoredEntry& stored : Card().entries()) {
            names.push_back(stored.entry.name);
        }
        return names;
    }

    std::vector<ContactRecord> Contacts() {
        handset::StoreResult result;
        std::unique_ptr<handset::ContactStore> store =
            handset::ContactStore::open(m_device.folder() / "contacts.db", result);
        std::vector<ContactRecord> contacts;
        if (store) {
            store->list(contacts);
        }
        return contacts;
    }

    // Fills the contacts store to a small quota, down to its last crevices, so that the next
    // contact finds no room.
    void FillTheContactsStore() {
        handset::StoreResult result;
        std::unique_ptr<handset::ContactStore> store =
            handset::ContactStore::open(m_device.folder() / "contacts.db", result);
        ASSERT_TRUE(store);
        ASSERT_TRUE(store->set_quota_bytes(64 * 1024).ok());
        for (size_t length : {900, 90, 9, 1}) {
            for (int i = 0; i < 1000; ++i) {
                ContactRecord filler;
                filler[ContactField::first_name] = std::u16string(length, u'f');
                if (store->add(filler).status == handset::StoreStatus::full) {
                    break;
                }
            }
        }
    }

    void SaveScreenshot(const std::string& name) {
        ASSERT_TRUE(m_program->wait_until_painted(kProgramWait));
        EXPECT_TRUE(handset::write_png(std::filesystem::path(SCREENSHOT_DIR) / name,
                                       handset::Screen::instance().compose()));
    }

    HWND m_list = nullptr;
    HWND m_dialog = nullptr;
};

} // namespace

TEST_F(ConfirmViewTest, RowsAndTheDeleteFollowTheTreesOrderAndTheTreeMatchesTheCardAfterwards) {
    AddEntry(u"Zed", u"0301", 1);
    AddEntry(u"Anna", u"0302", 2);
    AddEntry(u"Max", u"0303", 3);
    Start();
    Check(u"Zed");
    Check(u"Anna");
    Open(ID_DELETE);
    EXPECT_EQ(Rows(), (std::vector<std::u16string>{u"Anna 0302", u"Zed 0301"}));
    WCHAR question[260] = {};
    GetDlgItemTextW(m_dialog, IDC_QUESTION, question, 260);
    EXPECT_EQ(std::u16string(question), u"Are you sure you want to delete these items?");

    m_program->press_key(VK_TSOFT1);
    handset::MessageBoxContent box = m_program.answer_box();
    EXPECT_EQ(box.text, kDeleted);
    EXPECT_EQ(box.caption, u"Information");
    ASSERT_TRUE(BackInTheMainView(2));
    EXPECT_EQ(CardNames(), (std::vector<std::u16string>{u"Max"}));
    EXPECT_EQ(Names(ReadTree(m_tree)), (std::vector<std::u16string>{u"Max"}));
}

TEST_F(ConfirmViewTest, CancelDeletesNothingAndDoesNotRefillTheMainView) {
    AddEntry(u"Anna", u"0302");
    Start();
    Check(u"Anna");
    Open(ID_DELETE);
    m_program->press_key(VK_TSOFT2);
    ASSERT_TRUE(
        m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_MAIN; }, kProgramWait));
    ASSERT_TRUE(m_program->wait_until_idle(kProgramWait));
    EXPECT_FALSE(WaitForFill(2));
    EXPECT_EQ(CardNames(), (std::vector<std::u16string>{u"Anna"}));
    EXPECT_EQ(ReadTree(m_tree)[0].image, IMG_CHECKED);
}

TEST_F(ConfirmViewTest, AnEntryDeletedElsewhereBeforeTheRunIsSkipped) {
    AddEntry(u"Anna", u"0302", 1);
    AddEntry(u"Ben", u"0303", 2);
    AddEntry(u"Cleo", u"0304", 3);
    Start();
    Check(u"Anna");
    Check(u"Ben");
    Open(ID_DELETE);
    Card().erase(1);
    ASSERT_TRUE(m_program->wait_until([&] { return ReadTree(m_tree).size() == 2; }, kProgramWait));
    m_program->press_key(VK_TSOFT1);
    EXPECT_EQ(m_program.answer_box().text, kDeleted);
    ASSERT_TRUE(BackInTheMainView(2));
    EXPECT_EQ(CardNames(), (std::vector<std::u16string>{u"Cleo"}));
}

// The card refuses the second delete: the first is gone, the rest stay, and no box claims
// success.
TEST_F(ConfirmViewTest, ADeleteThatFailsHalfWayStopsSilentlyAndTheTreeMatchesTheCard) {
    AddEntry(u"Anna", u"0301", 1);
    AddEntry(u"Ben", u"0302", 2);
    AddEntry(u"Cleo", u"0303", 3);
    CardFaults faults;
    faults.deletes_before_failure = 1;
    faults.delete_error = SIM_E_MEMORYFAILURE;
    FaultyCardScope faulty(faults);
    Start();
    Check(u"Anna");
    Check(u"Ben");
    Check(u"Cleo");
    Open(ID_DELETE);
    m_program->press_key(VK_TSOFT1);
    ASSERT_TRUE(BackInTheMainView(2));
    EXPECT_FALSE(m_program->wait_for_message_box(handset::Milliseconds(300)));
    EXPECT_EQ(CardNames(), (std::vector<std::u16string>{u"Ben", u"Cleo"}));
    EXPECT_EQ(Names(ReadTree(m_tree)), (std::vector<std::u16string>{u"Ben", u"Cleo"}));
}

TEST_F(ConfirmViewTest, APlainCardCopiesTheNameAndTheMobileNumberOnly) {
    AddEntry(u"Zed", u"0301");
    AddEntry(u"Anna", u"+49302");
    AddEntry(u"", u"0303");
    Start();
    TREE_CHECKBOX_SetAll(m_tree, IMG_CHECKED);
    Open(ID_COPY_TO_CONTACTS);
    EXPECT_EQ(Rows(), (std::vector<std::u16string>{u" 0303", u"Anna +49302", u"Zed 0301"}));
    m_program->press_key(VK_TSOFT1);
    EXPECT_EQ(m_program.answer_box().text, kCopied);
    ASSERT_TRUE(
        m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_MAIN; }, kProgramWait));

    std::vector<ContactRecord> contacts = Contacts();
    ASSERT_EQ(contacts.size(), 3u);
    std::vector<std::u16string> copied;
    for (const ContactRecord& contact : contacts) {
        copied.push_back(
            contact[ContactField::first_name] + u"|" + contact[ContactField::last_name] + u"|" +
            contact[ContactField::mobile_telephone] + u"|" +
            contact[ContactField::business_telephone] + u"|" + contact[ContactField::email1]);
    }
    std::sort(copied.begin(), copied.end());
    EXPECT_EQ(copied,
              (std::vector<std::u16string>{u"Anna||+49302||", u"Zed||0301||", u"||0303||"}));
    EXPECT_EQ(CardNames().size(), 3u) << "copying leaves the card alone";
}

TEST_F(ConfirmViewTest, AnExtendedCardAlsoCopiesTheSecondNumberAsBusinessAndTheEmail) {
    m_device.set_dword(u"Software\\Nemora\\Telvane\\", u"USIMSupport", 1);
    m_device.card(extended_profile());
    Card().store(0,
                 handset::PhonebookEntry{u"Anna", *handset::DiallingNumber::parse(u"0301"),
                                         *handset::DiallingNumber::parse(u"0172"),
                                         u"anna@example.org"},
                 handset::EntryFields::all);
    Start();
    Check(u"Anna");
    Open(ID_COPY_TO_CONTACTS);
    m_program->press_key(VK_TSOFT1);
    EXPECT_EQ(m_program.answer_box().text, kCopied);
    std::vector<ContactRecord> contacts = Contacts();
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0][ContactField::mobile_telephone], u"0301");
    EXPECT_EQ(contacts[0][ContactField::business_telephone], u"0172");
    EXPECT_EQ(contacts[0][ContactField::email1], u"anna@example.org");
}

TEST_F(ConfirmViewTest, AFullContactsStoreSaysSoOnceAndNeverThatTheCopyWorked) {
    AddEntry(u"Anna", u"0301");
    AddEntry(u"Ben", u"0302");
    FillTheContactsStore();
    const size_t before = Contacts().size();
    Start();
    TREE_CHECKBOX_SetAll(m_tree, IMG_CHECKED);
    Open(ID_COPY_TO_CONTACTS);
    m_program->press_key(VK_TSOFT1);
    handset::MessageBoxContent box = m_program.answer_box();
    EXPECT_EQ(box.text, kStorageFull);
    EXPECT_EQ(box.caption, u"Warning");
    ASSERT_TRUE(
        m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_MAIN; }, kProgramWait));
    EXPECT_FALSE(m_program->wait_for_message_box(handset::Milliseconds(300)));
    EXPECT_EQ(Contacts().size(), before);
}

// Without a usable contacts store no contact can be made: the copy stops with its error.
TEST_F(ConfirmViewTest, AContactThatCannotBeCreatedStopsTheCopyWithAnError) {
    AddEntry(u"Anna", u"0301");
    std::filesystem::remove(m_device.folder() / "contacts.db");
    std::filesystem::create_directory(m_device.folder() / "contacts.db");
    Start();
    Check(u"Anna");
    Open(ID_COPY_TO_CONTACTS);
    m_program->press_key(VK_TSOFT1);
    handset::MessageBoxContent box = m_program.answer_box();
    EXPECT_EQ(box.text, kCopyFailed);
    EXPECT_EQ(box.caption, u"Error");
    ASSERT_TRUE(
        m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_MAIN; }, kProgramWait));
    EXPECT_FALSE(m_program->wait_for_message_box(handset::Milliseconds(300)));
}

// Closing the list while it still fills leaves the main view's soft keys and the card alone.
TEST_F(ConfirmViewTest, ClosingTheListWhileItFillsStopsTheFill) {
    handset::CardProfile full;
    full.slots = 250;
    m_device.card(full);
    {
        handset::CardFile card = Card();
        for (int slot = 1; slot <= 250; ++slot) {
            card.store(slot, sim_entry(u"Entry " + std::u16string(1, u'A' + slot % 26), u"0301"),
                       handset::EntryFields::all);
        }
    }
    Start();
    TREE_CHECKBOX_SetAll(m_tree, IMG_CHECKED);
    PostMessageW(m_main, WM_COMMAND, ID_DELETE, 0);
    ASSERT_TRUE(
        m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_CONFIRM; }, kProgramWait));
    m_program->press_key(VK_ESCAPE);
    ASSERT_TRUE(
        m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_MAIN; }, kProgramWait));
    ASSERT_TRUE(m_program->wait_until_idle(kProgramWait));
    EXPECT_EQ(Card().used_slots(), 250);
    EXPECT_TRUE(IsWindowEnabled(m_main));
}

class ConfirmLayout : public ConfirmViewTest, public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(ConfirmLayout, PlacesTheQuestionTheBannerAndTheListForTheScreen) {
    handset::Screen::instance().set_profile(GetParam().profile);
    AddEntry(u"Anna", u"0301");
    Start();
    Check(u"Anna");
    Open(ID_COPY_TO_CONTACTS);
    const int s = GetParam().scale;
    HWND question = GetDlgItem(m_dialog, IDC_QUESTION);
    HWND banner = GetDlgItem(m_dialog, IDC_CONFIRM_BANNER);
    RECT client;
    GetClientRect(m_dialog, &client);
    RECT rect = m_program->read(question)->rect;
    POINT origin = {0, 0};
    ClientToScreen(m_dialog, &origin);
    EXPECT_EQ(rect.left - origin.x, 5 * s);
    EXPECT_EQ(rect.top - origin.y, 5 * s);
    EXPECT_EQ(rect.bottom - rect.top, 54 * s);
    RECT picture = m_program->read(banner)->rect;
    EXPECT_EQ(picture.right - origin.x, client.right);
    EXPECT_EQ(picture.top - origin.y, 59 * s);
    RECT list = m_program->read(m_list)->rect;
    EXPECT_EQ(list.top - origin.y, 59 * s + (picture.bottom - picture.top));
    EXPECT_EQ(list.right - list.left, client.right);
    SaveScreenshot(std::string("confirm_copy_") + GetParam().name + ".png");
}

INSTANTIATE_TEST_SUITE_P(AtEachScreen, ConfirmLayout, EachScreen(), ScreenName);
