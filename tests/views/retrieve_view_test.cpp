#include "contacts/contacts_access.h"
#include "failing_contact_reads.h"
#include "gdi/screen.h"
#include "poom/contact_store.h"
#include "program_driver.h"
#include "program_process.h"
#include "shell/app.h"
#include "tree_items.h"
#include "views/main_view.h"
#include "views/retrieve_view.h"
#include "views/tree.h"

#include <aygshell.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

const std::u16string kRetrieved = u"Contact entry retrieved.";
const std::u16string kClipped =
    u"Retrieve finished. Some information are clipped for length limitation.";
const std::u16string kOverCapacity =
    u"The number of selected items is over the storage space. Please uncheck some items.";
const std::u16string kNeedMobileNumber =
    u"SIM contacts must include a mobile phone number. Enter a mobile phone number and try again.";
const std::string kFillStarted =
    "Telvane <RD_INFO>: CTRL_CONTACT_MAIN_EnableMenu: Enable Menubar == FALSE";

struct Numbers {
    std::u16string mobile;
    std::u16string home;
    std::u16string business;
};

class RetrieveViewTest : public ProgramTest {
  protected:
    RetrieveViewTest() {
        handset::StoreResult result;
        m_store = handset::ContactStore::create(m_device.folder() / "contacts.db", result);
    }

    handset::CardFile Card() { return handset::CardFile::open(m_device.folder() / "sim.db"); }

    void AddContact(std::u16string first, std::u16string last, const Numbers& numbers) {
        handset::ContactRecord record;
        record[handset::ContactField::first_name] = std::move(first);
        record[handset::ContactField::last_name] = std::move(last);
        record[handset::ContactField::mobile_telephone] = numbers.mobile;
        record[handset::ContactField::home_telephone] = numbers.home;
        record[handset::ContactField::business_telephone] = numbers.business;
        ASSERT_TRUE(m_store->add(record).ok());
    }

    void FillCard(int entries) {
        handset::CardFile card = Card();
        for (int i = 0; i < entries; ++i) {
            card.store(0, sim_entry(u"Entry", u"0301"), handset::EntryFields::all);
        }
    }

    void Start() {
        m_program.start(m_device);
        HWND sim_tree = WaitForMainView();
        ASSERT_TRUE(sim_tree);
        ASSERT_TRUE(WaitForFill());
        m_main = GetParent(sim_tree);
    }

    // Opens the view from the main view's menu and waits for its first fill.
    void Open() {
        const int fills = FillsStarted();
        PostMessageW(m_main, WM_COMMAND, ID_RETRIEVE_FROM_CONTACTS, 0);
        ASSERT_TRUE(m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_RETRIEVE; },
                                          kProgramWait));
        m_tree = m_program->wait_for_window({u"SysTreeView32", std::nullopt, IDC_CONTACT_TREE},
                                            kProgramWait);
        ASSERT_TRUE(m_tree);
        m_view = GetParent(m_tree);
        ASSERT_TRUE(WaitForContactFills(fills + 1));
    }

    int FillsStarted() {
        std::vector<std::string> lines = m_program->debug_lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), kFillStarted));
    }

    // Until the view's tree has been filled as often as asked, and the wait cursor has gone.
    bool WaitForContactFills(int fills) {
        return m_program->wait_until([&] { return FillsStarted() >= fills; }, kProgramWait) &&
               m_program->wait_until_idle(kProgramWait);
    }

    bool BackInTheMainView() {
        return m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_MAIN; },
                                     kProgramWait) &&
               m_program->wait_until_idle(kProgramWait);
    }

    std::vector<Item> Tree() { return ReadTree(m_tree); }

    void Tap(POINT point) {
        m_program->tap(point);
        m_program->wait_until_idle(kProgramWait);
    }

    void TapIcon(HTREEITEM item) { Tap(IconPoint(m_tree, item)); }

    void Expand(HTREEITEM item) {
        SendMessageW(m_tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(item.value()));
    }

    // A menu command, carried out before this returns; Retrieve is pressed on its soft key instead,
    // since its boxes wait for an answer.
    void Command(UINT command) { SendMessageW(m_view, WM_COMMAND, command, 0); }

    void PressRetrieve() { m_program->press_key(VK_TSOFT1); }

    // Starts the program, checks every number of the first contact and retrieves them; the
    // summary box as it was answered.
    handset::MessageBoxContent RetrieveTheFirstContact() {
        Start();
        Open();
        TapIcon(Tree()[0].handle);
        PressRetrieve();
        handset::MessageBoxContent summary = m_program.answer_box();
        EXPECT_TRUE(BackInTheMainView());
        return summary;
    }

    HMENU Popup() {
        return HMENU(static_cast<DWORD>(SendMessageW(g_hWndMb, SHCMBM_GETSUBMENU, 0, 0)));
    }

    // The popup's commands in their order, each enabled or not.
    std::vector<bool> MenuStates() {
        std::vector<bool> states;
        for (UINT command : {ID_VIEW_ALL, ID_VIEW_BUSINESS, ID_VIEW_HOME, ID_VIEW_MOBILE,
                             ID_SELECT_ALL, ID_DESELECT_ALL, ID_CANCEL}) {
            states.push_back(!(GetMenuState(Popup(), command, MF_BYCOMMAND) & MF_GRAYED));
        }
        return states;
    }

    UINT CheckedView() {
        for (UINT command : {ID_VIEW_ALL, ID_VIEW_BUSINESS, ID_VIEW_HOME, ID_VIEW_MOBILE}) {
            if (GetMenuState(Popup(), command, MF_BYCOMMAND) & MF_CHECKED) {
                return command;
            }
        }
        return 0;
    }

    // The status line's pixels, as the view painted them.
    std::vector<COLORREF> StatusPixels() {
        HWND status = GetDlgItem(m_view, IDC_MEMORY_STATUS);
        RECT band;
        GetClientRect(status, &band);
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(status);
        for (int y = 0; y < band.bottom; ++y) {
            for (int x = 0; x < band.right; ++x) {
                pixels.push_back(GetPixel(dc, x, y));
            }
        }
        ReleaseDC(status, dc);
        return pixels;
    }

    // The status line as it looks painted with this count against this total.
    std::vector<COLORREF> StatusPixelsOf(int count, int total) {
        CTRL_DrawMemoryStatus(m_view, count, total);
        std::vector<COLORREF> pixels = StatusPixels();
        InvalidateRect(GetDlgItem(m_view, IDC_MEMORY_STATUS), nullptr, FALSE);
        m_program->wait_until_painted(kProgramWait);
        return pixels;
    }

    bool StatusShows(int count, int total) {
        std::vector<COLORREF> shown = StatusPixels();
        return shown == StatusPixelsOf(count, total);
    }

    std::vector<std::pair<std::u16string, std::u16string>> CardEntries() {
        std::vector<std::pair<std::u16string, std::u16string>> entries;
        for (const handset::StoredEntry& stored : Card().entries()) {
            entries.emplace_back(stored.entry.name, stored.entry.number.digits());
        }
        return entries;
    }

    std::unique_ptr<handset::ContactStore> m_store;
    HWND m_main = nullptr;
    HWND m_view = nullptr;
    HWND m_tree = nullptr;
};

using Entries = std::vector<std::pair<std::u16string, std::u16string>>;

std::vector<std::pair<std::u16string, LPARAM>> Children(const Item& item) {
    std::vector<std::pair<std::u16string, LPARAM>> children;
    for (const Item& child : item.children) {
        children.emplace_back(child.text, child.data);
    }
    return children;
}

using ChildList = std::vector<std::pair<std::u16string, LPARAM>>;

} // namespace

TEST(RetrieveDisplayName, JoinsLastAndFirstWithACommaExceptInChineseOrWithOneNameMissing) {
    WCHAR name[260];
    CTRL_CONTACT_MAIN_DisplayName(u"0409", u"Ann", u"Lee", name, 260);
    EXPECT_EQ(std::u16string(name), u"Lee,Ann");
    for (LPCWSTR chinese : {u"0404", u"0804"}) {
        CTRL_CONTACT_MAIN_DisplayName(chinese, u"Ann", u"Lee", name, 260);
        EXPECT_EQ(std::u16string(name), u"LeeAnn") << std::string(chinese, chinese + 4);
    }
    for (LPCWSTR language : {u"0409", u"0404", u"0407"}) {
        CTRL_CONTACT_MAIN_DisplayName(language, u"", u"Lee", name, 260);
        EXPECT_EQ(std::u16string(name), u"Lee");
        CTRL_CONTACT_MAIN_DisplayName(language, u"Ann", u"", name, 260);
        EXPECT_EQ(std::u16string(name), u"Ann");
        CTRL_CONTACT_MAIN_DisplayName(language, u"", u"", name, 260);
        EXPECT_EQ(std::u16string(name), u"");
    }
}

TEST(RetrieveDisplayName, TwoNamesOfTheLongestKindAreCutToTheBuffer) {
    const std::u16string first(259, u'f');
    const std::u16string last(259, u'l');
    WCHAR name[261];
    name[260] = u'#';
    CTRL_CONTACT_MAIN_DisplayName(u"0409", first.c_str(), last.c_str(), name, 260);
    EXPECT_EQ(std::u16string(name), last);
    EXPECT_EQ(name[260], u'#');
}

TEST_F(RetrieveViewTest, EachContactIsListedWithItsNumbersLabelledAndNothingChecked) {
    AddContact(u"Ann", u"Lee", {u"0170111", u"0301", u"0401"});
    AddContact(u"", u"Zack", {u"", u"0302", u""});
    AddContact(u"Bea", u"", {});
    Start();
    Open();
    std::vector<Item> tree = Tree();
    ASSERT_EQ(Names(tree), (std::vector<std::u16string>{u"Bea", u"Lee,Ann", u"Zack"}));
    EXPECT_EQ(tree[0].image, IMG_NOCHECK);
    EXPECT_TRUE(tree[0].children.empty());
    EXPECT_EQ(tree[1].image, IMG_UNCHECKED);
    EXPECT_EQ(Children(tree[1]), (ChildList{{u"[H] 0301", FIELD_HOME},
                                            {u"[M] 0170111", FIELD_MOBILE},
                                            {u"[W] 0401", FIELD_WORK}}));
    for (const Item& child : tree[1].children) {
        EXPECT_EQ(child.image, IMG_UNCHECKED);
    }
    EXPECT_EQ(Children(tree[2]), (ChildList{{u"[H] 0302", FIELD_HOME}}));
    // The store files its contacts by last name, then first name: the data is that position.
    EXPECT_EQ((std::vector<LPARAM>{tree[0].data, tree[1].data, tree[2].data}),
              (std::vector<LPARAM>{1, 2, 3}));
    EXPECT_EQ(CheckedView(), static_cast<UINT>(ID_VIEW_ALL));
    EXPECT_EQ(MenuStates(), (std::vector<bool>{true, true, true, true, true, false, true}));
}

TEST_F(RetrieveViewTest, UnderAChineseInterfaceTheNamesGoWithoutTheComma) {
    m_device.set_dword(u"Handset\\Device", u"UILanguage", 0x0404);
    AddContact(u"Ann", u"Lee", {u"0170111", u"", u""});
    Start();
    Open();
    EXPECT_EQ(Names(Tree()), (std::vector<std::u16string>{u"LeeAnn"}));
}

TEST_F(RetrieveViewTest, NamesAndNumbersOfTheLongestKindAreCutToTheTreesTexts) {
    AddContact(std::u16string(300, u'f'), std::u16string(300, u'l'),
               {std::u16string(300, u'1'), u"", u""});
    Start();
    Open();
    std::vector<Item> tree = Tree();
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree[0].text, std::u16string(259, u'l'));
    ASSERT_EQ(tree[0].children.size(), 1u);
    EXPECT_EQ(tree[0].children[0].text, u"[M] " + std::u16string(255, u'1'));
}

TEST_F(RetrieveViewTest, AContactThatCannotBeReadShowsAndRetrievesNothingOfTheOneBefore) {
    AddContact(u"Ann", u"Lee", {u"0170111", u"", u""});
    AddContact(u"Bob", u"Mayer", {u"0170222", u"", u""});
    Start();
    FailingContactReads failing(CONTACT_GetItemHandle(), 2, FailingContactReads::Reads::names);
    Open();
    std::vector<Item> tree = Tree();
    ASSERT_EQ(Names(tree), (std::vector<std::u16string>{u"", u"Lee,Ann"}));
    EXPECT_EQ(Children(tree[0]), (ChildList{{u"[M] 0170222", FIELD_MOBILE}}));

    TapIcon(tree[0].handle);
    PressRetrieve();
    EXPECT_EQ(m_program.answer_box().text, kRetrieved);
    ASSERT_TRUE(BackInTheMainView());
    EXPECT_EQ(CardEntries(), (Entries{{u"0170222", u"0170222"}}));
}

TEST_F(RetrieveViewTest, AViewOfOneKindLeavesAContactWithoutThatKindUncheckable) {
    AddContact(u"Georg", u"Hansen", {u"", u"045123456", u""});
    AddContact(u"Hana", u"Novak", {u"0601", u"0602", u"0603"});
    Start();
    Open();

    Command(ID_VIEW_MOBILE);
    ASSERT_TRUE(WaitForContactFills(2));
    EXPECT_EQ(CheckedView(), static_cast<UINT>(ID_VIEW_MOBILE));
    std::vector<Item> tree = Tree();
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].image, IMG_NOCHECK);
    EXPECT_TRUE(tree[0].children.empty());
    EXPECT_EQ(Children(tree[1]), (ChildList{{u"[M] 0601", FIELD_MOBILE}}));
    TapIcon(tree[0].handle);
    EXPECT_EQ(Tree()[0].image, IMG_NOCHECK);

    Command(ID_VIEW_BUSINESS);
    ASSERT_TRUE(WaitForContactFills(3));
    EXPECT_EQ(Children(Tree()[1]), (ChildList{{u"[W] 0603", FIELD_WORK}}));
    Command(ID_VIEW_HOME);
    ASSERT_TRUE(WaitForContactFills(4));
    EXPECT_EQ(Children(Tree()[0]), (ChildList{{u"[H] 045123456", FIELD_HOME}}));
    Command(ID_VIEW_ALL);
    ASSERT_TRUE(WaitForContactFills(5));
    EXPECT_EQ(Children(Tree()[0]), (ChildList{{u"[H] 045123456", FIELD_HOME}}));
    EXPECT_EQ(Tree()[1].children.size(), 3u);
}

TEST_F(RetrieveViewTest, ChoosingTheCurrentViewKeepsTheMarksAndAnotherViewClearsThem) {
    AddContact(u"Ann", u"Lee", {u"0170111", u"0301", u""});
    Start();
    Open();
    TapIcon(Tree()[0].handle);
    ASSERT_EQ(Tree()[0].image, IMG_CHECKED);

    Command(ID_VIEW_ALL);
    m_program->wait_until_idle(kProgramWait);
    EXPECT_EQ(FillsStarted(), 1);
    EXPECT_EQ(Tree()[0].image, IMG_CHECKED);

    Command(ID_VIEW_HOME);
    ASSERT_TRUE(WaitForContactFills(2));
    EXPECT_EQ(Tree()[0].image, IMG_UNCHECKED);
    EXPECT_EQ(CheckedView(), static_cast<UINT>(ID_VIEW_HOME));
}

TEST_F(RetrieveViewTest, TapsCheckContactsAndNumbersAndTheMenuFollows) {
    AddContact(u"Ann", u"Lee", {u"0170111", u"0301", u"0401"});
    AddContact(u"Bea", u"Roth", {u"0170222", u"", u""});
    AddContact(u"Cai", u"Wu", {});
    Start();
    Open();

    TapIcon(Tree()[0].handle);
    std::vector<Item> tree = Tree();
    EXPECT_EQ(tree[0].image, IMG_CHECKED);
    for (const Item& child : tree[0].children) {
        EXPECT_EQ(child.image, IMG_CHECKED);
    }
    EXPECT_EQ(Selected(m_tree), tree[0].handle);
    EXPECT_EQ(MenuStates(), (std::vector<bool>{true, true, true, true, true, true, true}));

    TapIcon(tree[0].children[1].handle);
    tree = Tree();
    EXPECT_EQ(tree[0].image, IMG_MIXED);
    EXPECT_EQ(tree[0].children[1].image, IMG_UNCHECKED);

    Command(ID_SELECT_ALL);
    tree = Tree();
    EXPECT_EQ((std::vector<int>{tree[0].image, tree[1].image, tree[2].image}),
              (std::vector<int>{IMG_CHECKED, IMG_CHECKED, IMG_NOCHECK}));
    EXPECT_EQ(MenuStates(), (std::vector<bool>{true, true, true, true, false, true, true}));

    Command(ID_DESELECT_ALL);
    EXPECT_EQ(Tree()[0].image, IMG_UNCHECKED);
    EXPECT_EQ(MenuStates(), (std::vector<bool>{true, true, true, true, true, false, true}));
}

TEST_F(RetrieveViewTest, AnEmptyStoreOffersOnlyCancelAndRetrieveDoesNothing) {
    Start();
    Open();
    EXPECT_TRUE(Tree().empty());
    EXPECT_EQ(MenuStates(), (std::vector<bool>{false, false, false, false, false, false, true}));
    PressRetrieve();
    m_program->wait_until_idle(kProgramWait);
    EXPECT_FALSE(m_program->wait_for_message_box(handset::Milliseconds(300)));
    EXPECT_EQ(APP_GetCurrentDialog(), IDD_RETRIEVE);

    Command(ID_CANCEL);
    ASSERT_TRUE(BackInTheMainView());
}

TEST_F(RetrieveViewTest, TheStatusLineCountsCheckedNumbersAndTheCardHoldsNoMoreThanItsTotal) {
    FillCard(240);
    for (int i = 0; i < 11; ++i) {
        std::u16string number = u"01701";
        number += static_cast<char16_t>(u'0' + i / 10);
        number += static_cast<char16_t>(u'0' + i % 10);
        AddContact(u"", u"Name" + number, {number, u"", u""});
    }
    Start();
    Open();
    EXPECT_TRUE(StatusShows(240, 250));

    Command(ID_SELECT_ALL);
    m_program->wait_until_painted(kProgramWait);
    EXPECT_TRUE(StatusShows(251, 250));
    PressRetrieve();
    handset::MessageBoxContent warning = m_program.answer_box();
    EXPECT_EQ(warning.text, kOverCapacity);
    EXPECT_EQ(warning.caption, u"Warning");
    m_program->wait_until_idle(kProgramWait);
    EXPECT_EQ(APP_GetCurrentDialog(), IDD_RETRIEVE);
    EXPECT_EQ(Card().used_slots(), 240);
    EXPECT_EQ(FillsStarted(), 1) << "the warning's return reloads nothing";
    EXPECT_EQ(Tree()[0].image, IMG_CHECKED);

    TapIcon(Tree()[10].handle);
    EXPECT_TRUE(StatusShows(250, 250));
    PressRetrieve();
    EXPECT_EQ(m_program.answer_box().text, kRetrieved);
    ASSERT_TRUE(BackInTheMainView());
    EXPECT_EQ(Card().used_slots(), 250);
}

TEST_F(RetrieveViewTest, CheckedNumbersBecomeEntriesMobileHomeBusinessAndTheMainViewListsThem) {
    AddContact(u"Ann", u"Lee", {u"0170111", u"0301", u"0401"});
    AddContact(u"Bea", u"Roth", {u"0170222", u"0302", u"0402"});
    AddContact(u"Cai", u"Wu", {u"0170333", u"", u""});
    Start();
    Open();
    std::vector<Item> tree = Tree();
    TapIcon(tree[0].handle);
    Expand(tree[1].handle);
    m_program->wait_until_painted(kProgramWait);
    TapIcon(tree[1].children[0].handle); // Bea's home number alone
    ASSERT_EQ(Tree()[1].image, IMG_MIXED);

    PressRetrieve();
    EXPECT_EQ(m_program.answer_box().text, kRetrieved);
    ASSERT_TRUE(BackInTheMainView());
    EXPECT_EQ(CardEntries(), (Entries{{u"Lee,Ann", u"0170111"},
                                      {u"Lee,Ann", u"0301"},
                                      {u"Lee,Ann", u"0401"},
                                      {u"Roth,Bea", u"0302"}}));
    HWND sim_tree = GetDlgItem(m_main, IDC_SIM_TREE);
    ASSERT_TRUE(m_program->wait_until(
        [&] { return ReadTree(sim_tree).size() == 4 && g_bSIMTreeReady == 1; }, kProgramWait));
    EXPECT_EQ(Names(ReadTree(sim_tree)),
              (std::vector<std::u16string>{u"Lee,Ann", u"Lee,Ann", u"Lee,Ann", u"Roth,Bea"}));
    EXPECT_EQ(FillsStarted(), 1) << "the summary's return reloads nothing";
}

TEST_F(RetrieveViewTest, AContactWithoutANameIsSavedUnderItsFirstNumber) {
    AddContact(u"", u"", {u"0170111", u"0301", u""});
    EXPECT_EQ(RetrieveTheFirstContact().text, kRetrieved);
    EXPECT_EQ(CardEntries(), (Entries{{u"0170111", u"0170111"}, {u"0170111", u"0301"}}));
}

TEST_F(RetrieveViewTest, ANumberTooLongForTheCardIsCutAndTheSummarySaysSo) {
    AddContact(u"Ann", u"Lee", {u"0123456789012345678901234", u"", u""});
    handset::MessageBoxContent summary = RetrieveTheFirstContact();
    EXPECT_EQ(summary.text, kClipped);
    EXPECT_EQ(summary.caption, u"Information");
    EXPECT_EQ(CardEntries(), (Entries{{u"Lee,Ann", u"01234567890123456789"}}));
}

TEST_F(RetrieveViewTest, ANumberOfLettersStopsTheRunAndKeepsWhatWasWrittenBefore) {
    AddContact(u"Ann", u"Lee", {u"0170111", u"", u""});
    AddContact(u"Bea", u"Roth", {u"call me", u"0302", u""});
    Start();
    Open();
    Command(ID_SELECT_ALL);
    PressRetrieve();
    handset::MessageBoxContent error = m_program.answer_box();
    EXPECT_EQ(error.text, kNeedMobileNumber);
    EXPECT_EQ(error.caption, u"Error");
    ASSERT_TRUE(BackInTheMainView());
    EXPECT_FALSE(m_program->wait_for_message_box(handset::Milliseconds(300)));
    EXPECT_EQ(CardEntries(), (Entries{{u"Lee,Ann", u"0170111"}}));
    EXPECT_TRUE(m_program->wait_until([] { return g_bSIMTreeReady == 1; }, kProgramWait));
}

TEST_F(RetrieveViewTest, OnAnExtendedCardTheNumbersGoThroughTheExtendedSave) {
    m_device.set_dword(u"Software\\Nemora\\Telvane\\", u"USIMSupport", 1);
    m_device.card(extended_profile());
    AddContact(u"Ann", u"Lee", {u"0170111", u"", u""});
    EXPECT_EQ(RetrieveTheFirstContact().text, kRetrieved);
    EXPECT_EQ(CardEntries(), (Entries{{u"Lee,Ann", u"0170111"}}));
    std::vector<std::string> lines = m_program->debug_lines();
    auto written = [&](const std::string& text) {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(": " + text) != std::string::npos;
        });
    };
    EXPECT_TRUE(written("USIM_WritePBEntry: #-1, Name:Lee,Ann"));
    EXPECT_FALSE(written("SIM_WritePBEntry: #-1")) << "only through the extended save";
}

TEST_F(RetrieveViewTest, CancelAndTheCloseButtonWriteNothing) {
    AddContact(u"Ann", u"Lee", {u"0170111", u"", u""});
    Start();
    for (UINT close : {ID_CANCEL, IDCANCEL}) {
        Open();
        TapIcon(Tree()[0].handle);
        PostMessageW(m_view, WM_COMMAND, close, 0);
        ASSERT_TRUE(BackInTheMainView());
    }
    EXPECT_TRUE(Card().entries().empty());
}

TEST_F(RetrieveViewTest, ReturningToTheViewReloadsItsTree) {
    AddContact(u"Ann", u"Lee", {u"0170111", u"", u""});
    Start();
    Open();
    TapIcon(Tree()[0].handle);
    PostMessageW(m_view, WM_ACTIVATE, WA_INACTIVE, 0);
    PostMessageW(m_view, WM_ACTIVATE, WA_ACTIVE, 0);
    ASSERT_TRUE(WaitForContactFills(2));
    EXPECT_EQ(Tree()[0].image, IMG_UNCHECKED);
}

// The fill reads thousands of contacts while the SIM gets locked from outside and the view comes
// back to the front: the program ends, and no fill reads the contacts or takes the view lock after
// the exit has released them (the sanitizer runs say so). Where the fill stands when the view
// comes back depends on the machine.
TEST_F(RetrieveViewTest, ALockedCardSeenWhileAFillRunsEndsTheProgramAfterTheFill) {
    std::vector<handset::ContactRecord> contacts(3000);
    for (size_t i = 0; i < contacts.size(); ++i) {
        contacts[i][handset::ContactField::last_name] =
            u"Contact" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26));
        contacts[i][handset::ContactField::mobile_telephone] = u"0170111";
    }
    ASSERT_TRUE(m_store->add_all(contacts).ok());
    Start();
    PostMessageW(m_main, WM_COMMAND, ID_RETRIEVE_FROM_CONTACTS, 0);
    ASSERT_TRUE(m_program->wait_until([&] { return FillsStarted() >= 1; }, kProgramWait));
    Card().update_state([](handset::CardState& state) { state.lock = handset::PinLock::pin; });
    HWND view = m_program->wait_for_window({u"SysTreeView32", std::nullopt, IDC_CONTACT_TREE},
                                           kProgramWait);
    ASSERT_TRUE(view);
    PostMessageW(GetParent(view), WM_ACTIVATE, WA_INACTIVE, 0);
    PostMessageW(GetParent(view), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(m_program.exit_code(), std::optional<int>(0));
    EXPECT_TRUE(handset::open_message_boxes().empty());
    EXPECT_EQ(FillsStarted(), 1);
}

namespace {

struct Screen {
    const char* name;
    handset::ScreenProfile profile;
    int scale;
};

// The view as the person sees it at each screen, its picture kept in the build folder to be looked
// at.
class RetrieveViewScreen : public RetrieveViewTest, public ::testing::WithParamInterface<Screen> {
  protected:
    ~RetrieveViewScreen() override {
        handset::Screen::instance().set_profile(handset::ScreenProfile::qvga());
    }

    RECT Rect(int id) { return m_program->read(GetDlgItem(m_view, id))->rect; }
};

} // namespace

TEST_P(RetrieveViewScreen, ShowsTheTitleStripWithItsBannerAboveTheStatusLineAndTheTree) {
    handset::Screen::instance().set_profile(GetParam().profile);
    FillCard(5);
    AddContact(u"Anna", u"Berger", {u"01701234567", u"030123456", u""});
    AddContact(u"Carlos", u"Mendes", {u"", u"", u"+351213456789"});
    AddContact(u"Frieda", u"Lorenz", {});
    Start();
    Open();
    TapIcon(Tree()[0].handle);
    ASSERT_TRUE(m_program->screenshot(std::filesystem::path(RETRIEVE_SCREENSHOTS) /
                                      (std::string("retrieve_view_") + GetParam().name + ".png")));

    const int scale = GetParam().scale;
    RECT title = Rect(IDC_RETRIEVE_TITLE);
    RECT banner = Rect(IDC_RETRIEVE_BANNER);
    RECT status = Rect(IDC_MEMORY_STATUS);
    RECT tree = Rect(IDC_CONTACT_TREE);
    EXPECT_EQ(title.bottom - title.top, 22 * scale);
    EXPECT_EQ(banner.bottom, title.bottom);
    EXPECT_EQ(banner.left, title.right);
    EXPECT_EQ(status.top, title.bottom);
    EXPECT_EQ(status.bottom - status.top, 21 * scale);
    EXPECT_EQ(tree.top, status.bottom);

    HWND strip = GetDlgItem(m_view, IDC_RETRIEVE_TITLE);
    HDC dc = GetDC(strip);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 255, 255));
    ReleaseDC(strip, dc);
    EXPECT_TRUE(StatusShows(7, 250));
}

INSTANTIATE_TEST_SUITE_P(AtEachScreen, RetrieveViewScreen,
                         ::testing::Values(Screen{"qvga", handset::ScreenProfile::qvga(), 1},
                                           Screen{"vga", handset::ScreenProfile::vga(), 2}),
                         [](const ::testing::TestParamInfo<Screen>& info) {
                             return info.param.name;
                         });

namespace {

constexpr std::chrono::milliseconds kProcessWait{20000};

std::vector<std::string> FileLines(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace

// The person's road on a fresh default device: the main view's menu, Retrieve from Contacts, the
// sample contact Anna Berger's two numbers, Retrieve. The coordinates are those of the QVGA
// screen: the menu's item, the contact's button, then the check boxes of its two numbers.
TEST(RetrieveByScript, TwoNumbersOfASampleContactEndOnTheCardAndInTheMainView) {
    TestDevice device;
    ProgramProcess init(
        {HANDSETCTL, "--device", device.folder().string(), "init", "--language", "0x0409"},
        device.folder() / "init-output.txt");
    ASSERT_EQ(init.wait_for_exit(kProcessWait), std::optional<int>(0)) << init.output();
    const std::vector<handset::StoredEntry> samples =
        handset::CardFile::open(device.folder() / "sim.db").entries();

    const std::filesystem::path script = device.folder() / "retrieve.txt";
    std::ofstream(script) << "wait class SysTreeView32 within 10000\n"
                             "idle\n"
                             "key softkey2\n"
                             "wait class \"#32768\"\n"
                             "tap 140 212\n"
                             "wait id 624\n"
                             "idle\n"
                             "tap 17 82\n"
                             "tap 73 108\n"
                             "tap 73 134\n"
                             "idle\n"
                             "screenshot " RETRIEVE_SCREENSHOTS "/retrieve_script_checked.png\n"
                             "key softkey1\n"
                             "expect-box \"Contact entry retrieved.\" \"Information\"\n"
                             "answer\n"
                             "wait id 601\n"
                             "idle\n"
                             "screenshot " RETRIEVE_SCREENSHOTS "/retrieve_script_main.png\n"
                             "close\n";
    ProgramProcess telvane({TELVANE_PROGRAM, "--device", device.folder().string(), "--display",
                            "headless", "--script", script.string()},
                           device.folder() / "telvane-output.txt");
    ASSERT_EQ(telvane.wait_for_exit(kProcessWait), std::optional<int>(0)) << telvane.output();

    std::vector<handset::StoredEntry> entries =
        handset::CardFile::open(device.folder() / "sim.db").entries();
    ASSERT_EQ(entries.size(), samples.size() + 2);
    const handset::PhonebookEntry& mobile = entries[samples.size()].entry;
    const handset::PhonebookEntry& home = entries[samples.size() + 1].entry;
    EXPECT_EQ(mobile.name, u"Berger,Anna");
    EXPECT_EQ(mobile.number.digits(), u"01701234567");
    EXPECT_EQ(home.name, u"Berger,Anna");
    EXPECT_EQ(home.number.digits(), u"030123456");

    // The main view's refill after the retrieval reads the new entries back into its tree.
    std::vector<std::string> log = FileLines(device.folder() / "debug.log");
    const std::string slot = "SIM_ReadPBEntry: #" + std::to_string(samples.size() + 2) +
                             ", Name:Berger,Anna, Phone:030123456";
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const std::string& line) {
        return line.find(slot) != std::string::npos;
    }));
}

// A fill still waiting for the view lock when the program ends gives up without filling, and the
// exit waits for it to have left the lock before deleting it.
TEST_F(RetrieveViewTest, AFillWaitingForTheViewLockWhenTheProgramEndsNeverFills) {
    AddContact(u"Ann", u"Lee", {u"0170111", u"", u""});
    Start();
    EnterCriticalSection(&g_csView);
    PostMessageW(m_main, WM_COMMAND, ID_RETRIEVE_FROM_CONTACTS, 0);
    HWND tree = m_program->wait_for_window({u"SysTreeView32", std::nullopt, IDC_CONTACT_TREE},
                                           kProgramWait);
    Card().update_state([](handset::CardState& state) { state.lock = handset::PinLock::pin; });
    PostMessageW(GetParent(tree), WM_ACTIVATE, WA_INACTIVE, 0);
    PostMessageW(GetParent(tree), WM_ACTIVATE, WA_ACTIVE, 0);
    const bool checked = m_program->wait_until(
        [&] {
            std::vector<std::string> lines = m_program->debug_lines();
            return std::count(lines.begin(), lines.end(), "Telvane <RD_INFO>: SIM Ready == FALSE") >
                   0;
        },
        kProgramWait);
    EXPECT_TRUE(m_program->running());
    LeaveCriticalSection(&g_csView);
    ASSERT_TRUE(checked);
    EXPECT_EQ(m_program.exit_code(), std::optional<int>(0));
    EXPECT_EQ(FillsStarted(), 0);
}
