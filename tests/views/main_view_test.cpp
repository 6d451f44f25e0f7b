#include "faulty_card.h"
#include "gdi/screen.h"
#include "program_driver.h"
#include "program_process.h"
#include "reference_screen.h"
#include "screen_cases.h"
#include "shell/resources.h"
#include "sim/sim_types.h"
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

// The device's storage of fixed-dialling numbers, which the phonebook views never show.
constexpr DWORD kFixedDiallingStorage = 0x00000002;

class MainViewTest : public ProgramTest {
  protected:
    std::vector<Item> Tree() { return ReadTree(m_tree); }

    void Expand(HTREEITEM item) {
        SendMessageW(m_tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(item.value()));
    }

    // The one call the handset has placed, once it has.
    std::optional<handset::CallRecord> PlacedCall() {
        if (!m_program->wait_until([&] { return !Card().calls().empty(); }, kProgramWait)) {
            return std::nullopt;
        }
        std::vector<handset::CallRecord> calls = Card().calls();
        EXPECT_EQ(calls.size(), 1u);
        return calls.front();
    }

    // The right soft key's popup, with each command's state as the person would find it.
    bool Enabled(UINT command) {
        HMENU popup =
            HMENU(static_cast<DWORD>(SendMessageW(g_hMainWndMb, SHCMBM_GETSUBMENU, 0, 0)));
        return !(GetMenuState(popup, command, MF_BYCOMMAND) & MF_GRAYED);
    }

    // What the menu offers, in the order of the commands below.
    std::vector<bool> MenuStates() {
        std::vector<bool> states;
        for (UINT command : {ID_EDIT, ID_DELETE, ID_SELECT_ALL, ID_DESELECT_ALL,
                             ID_COPY_TO_CONTACTS, ID_RETRIEVE_FROM_CONTACTS}) {
            states.push_back(Enabled(command));
        }
        return states;
    }

    // A menu command, carried out by the view before this returns.
    void Command(UINT command) { SendMessageW(m_main, WM_COMMAND, command, 0); }

    void Tap(POINT point) {
        m_program->tap(point);
        m_program->wait_until_painted(kProgramWait);
    }

    // Until the condition on the tree holds; the notification thread changes it on its own time.
    bool TreeBecomes(const std::function<bool(const std::vector<Item>&)>& condition) {
        return m_program->wait_until([&] { return condition(Tree()); }, kProgramWait);
    }

    // The activation the view gets when a view over it closes. (Every view re-checks the SIM
    // when it comes to the front, so opening one would catch the change before the main view.)
    void ActivateTheViewAgain() { PostMessageW(m_main, WM_ACTIVATE, WA_ACTIVE, 0); }
};

using Menu = std::vector<bool>;

} // namespace

TEST_F(MainViewTest, AnEmptyPhonebookOffersOnlyRetrieveAndCountsNothing) {
    Start();
    EXPECT_TRUE(Tree().empty());
    EXPECT_EQ(MenuStates(), (Menu{false, false, false, false, false, true}));
}

TEST_F(MainViewTest, EntriesAreSortedByNameEachWithItsNumberAndNothingIsChecked) {
    AddEntry(u"Zoe", u"0301");
    AddEntry(u"Anna", u"+4930123");
    AddEntry(u"Max", u"0302");
    Start();

    std::vector<Item> tree = Tree();
    EXPECT_EQ(Names(tree), (std::vector<std::u16string>{u"Anna", u"Max", u"Zoe"}));
    ASSERT_EQ(tree[0].children.size(), 1u);
    EXPECT_EQ(tree[0].data, 2);
    EXPECT_EQ(tree[0].image, IMG_UNCHECKED);
    EXPECT_EQ(tree[0].children[0].text, u"+4930123");
    EXPECT_EQ(tree[0].children[0].data, FIELD_TEL);
    EXPECT_EQ(tree[0].children[0].image, IMG_TEL);
    EXPECT_EQ(Selected(m_tree), tree[0].handle);
    EXPECT_EQ(MenuStates(), (Menu{true, false, true, false, false, true}));
}

TEST_F(MainViewTest, SelectAllAndDeselectAllFollowTheCheckMarks) {
    AddEntry(u"Anna", u"1");
    AddEntry(u"Ben", u"2");
    Start();

    Command(ID_SELECT_ALL);
    for (const Item& item : Tree()) {
        EXPECT_EQ(item.image, IMG_CHECKED);
    }
    EXPECT_EQ(MenuStates(), (Menu{true, true, false, true, true, true}));

    Tap(IconPoint(m_tree, Tree()[0].handle));
    EXPECT_EQ(Tree()[0].image, IMG_UNCHECKED);
    EXPECT_EQ(MenuStates(), (Menu{true, true, true, true, true, true}));

    Tap(IconPoint(m_tree, Tree()[1].handle));
    EXPECT_EQ(Tree()[1].image, IMG_UNCHECKED);
    EXPECT_EQ(MenuStates(), (Menu{true, false, true, false, false, true}));

    Command(ID_SELECT_ALL);
    Command(ID_DESELECT_ALL);
    for (const Item& item : Tree()) {
        EXPECT_EQ(item.image, IMG_UNCHECKED);
    }
}

TEST_F(MainViewTest, ATapOnTheLabelOnlySelectsAndATapOnAFieldsIconChangesNoImage) {
    AddEntry(u"Anna", u"1");
    AddEntry(u"Ben", u"2");
    Start();
    HTREEITEM ben = Tree()[1].handle;

    Tap(LabelPoint(m_tree, ben));
    EXPECT_EQ(Selected(m_tree), ben);
    EXPECT_EQ(Tree()[1].image, IMG_UNCHECKED);

    // Checked behind the menu's back: a tap on the number's icon must still bring it up to date.
    Expand(ben);
    TREE_CHECKBOX_SetAll(m_tree, IMG_CHECKED);
    ASSERT_FALSE(Enabled(ID_DELETE));
    Tap(IconPoint(m_tree, Tree()[1].children[0].handle));
    EXPECT_EQ(Tree()[1].children[0].image, IMG_TEL);
    EXPECT_EQ(Tree()[1].image, IMG_CHECKED);
    EXPECT_TRUE(Enabled(ID_DELETE));
    EXPECT_FALSE(Enabled(ID_SELECT_ALL));
}

TEST_F(MainViewTest, AFullCardRefusesNewAndRetrieveWithAWarning) {
    handset::CardProfile two_slots;
    two_slots.slots = 2;
    m_device.card(two_slots);
    AddEntry(u"Anna", u"1");
    AddEntry(u"Ben", u"2");
    Start();
    const Menu before = MenuStates();

    m_program->press_key(VK_TSOFT1);
    handset::MessageBoxContent box = m_program.answer_box();
    EXPECT_EQ(box.text, u"SIM card is full. Delete some items, and try again.");
    EXPECT_EQ(box.caption, u"Warning");

    PostMessageW(m_main, WM_COMMAND, ID_RETRIEVE_FROM_CONTACTS, 0);
    EXPECT_EQ(m_program.answer_box().text, u"SIM card is full. Delete some items, and try again.");
    ASSERT_TRUE(m_program->wait_until_idle(kProgramWait));
    EXPECT_EQ(APP_GetCurrentDialog(), IDD_MAIN);
    EXPECT_EQ(MenuStates(), before);
}

TEST_F(MainViewTest, TheTalkKeyDialsTheSelectedEntryEvenFromItsNumber) {
    AddEntry(u"Anna", u"+4930123");
    AddEntry(u"Ben", u"0302");
    Start();
    HTREEITEM ben = Tree()[1].handle;
    Expand(ben);
    Tap(LabelPoint(m_tree, Tree()[1].children[0].handle));

    m_program->press_key(VK_TTALK);
    std::optional<handset::CallRecord> call = PlacedCall();
    ASSERT_TRUE(call);
    EXPECT_EQ(call->number, u"0302");
    EXPECT_EQ(call->name, u"Ben");
    EXPECT_EQ(Selected(m_tree), ben);
}

TEST_F(MainViewTest, TheTalkKeyWithNothingSelectedDialsNothing) {
    Start();
    m_program->press_key(VK_TTALK);
    m_program->press_key(VK_TSOFT2);
    ASSERT_TRUE(m_program->wait_for_window({u"#32768", std::nullopt, std::nullopt}, kProgramWait));
    EXPECT_TRUE(Card().calls().empty());
}

TEST_F(MainViewTest, AHoldOnANumberOffersDialForItsEntry) {
    AddEntry(u"Anna", u"0301");
    AddEntry(u"Ben", u"0302");
    Start();
    HTREEITEM ben = Tree()[1].handle;
    Expand(ben);

    m_program->hold(LabelPoint(m_tree, Tree()[1].children[0].handle));
    ASSERT_TRUE(m_program->wait_for_window({u"#32768", std::nullopt, std::nullopt}, kProgramWait));
    EXPECT_EQ(Selected(m_tree), ben);
    m_program->press_key(VK_DOWN);
    m_program->press_key(VK_RETURN);
    std::optional<handset::CallRecord> call = PlacedCall();
    ASSERT_TRUE(call);
    EXPECT_EQ(call->number, u"0302");
    EXPECT_EQ(call->name, u"Ben");
}

TEST_F(MainViewTest, AHoldOutsideAnyItemShowsNoMenu) {
    AddEntry(u"Anna", u"0301");
    Start();
    RECT client;
    GetClientRect(m_tree, &client);
    m_program->hold(ToScreen(m_tree, POINT{client.right / 2, client.bottom - 10}));
    m_program->press_key(VK_TSOFT2);
    // The first menu to open stands on the menu bar: it is the soft key's, not one at the hold.
    HWND menu = m_program->wait_for_window({u"#32768", std::nullopt, std::nullopt}, kProgramWait);
    ASSERT_TRUE(menu);
    EXPECT_EQ(m_program->read(menu)->rect.bottom, m_program->read(g_hMainWndMb)->rect.top);
}

TEST_F(MainViewTest, StoredAndDeletedEntriesReachTheTreeWithoutARefresh) {
    AddEntry(u"Anna", u"0301");
    AddEntry(u"Max", u"0302");
    Start();
    Tap(IconPoint(m_tree, Tree()[0].handle));
    ASSERT_EQ(Tree()[0].image, IMG_CHECKED);

    AddEntry(u"Annabel", u"0999", 1);
    ASSERT_TRUE(TreeBecomes([](const std::vector<Item>& tree) {
        return tree.size() == 2 && tree[0].text == u"Annabel";
    }));
    EXPECT_EQ(Tree()[0].image, IMG_CHECKED);
    EXPECT_EQ(Tree()[0].children[0].text, u"0999");

    AddEntry(u"Ben", u"0303", 3);
    ASSERT_TRUE(TreeBecomes([](const std::vector<Item>& tree) { return tree.size() == 3; }));
    EXPECT_EQ(Names(Tree()), (std::vector<std::u16string>{u"Annabel", u"Ben", u"Max"}));
    EXPECT_EQ(Selected(m_tree), Tree()[1].handle);

    Card().erase(7);
    Card().erase(2);
    ASSERT_TRUE(TreeBecomes([](const std::vector<Item>& tree) { return tree.size() == 2; }));
    EXPECT_EQ(Names(Tree()), (std::vector<std::u16string>{u"Annabel", u"Ben"}));
}

TEST_F(MainViewTest, NotificationsForAnotherStorageOrWhileNotReadyAreIgnored) {
    AddEntry(u"Anna", u"0301");
    Start();
    SIMPBECHANGE change = {};
    change.dwEntry = 1;
    change.dwStorage = kFixedDiallingStorage;
    CTRL_MAIN_SIMNotify(SIM_NOTIFY_PBE_DELETED, &change, sizeof(change), 0);
    EXPECT_EQ(Tree().size(), 1u);

    g_bSIMTreeReady = 0;
    change.dwStorage = SIM_STORAGE_SIM;
    CTRL_MAIN_SIMNotify(SIM_NOTIFY_PBE_DELETED, &change, sizeof(change), 0);
    EXPECT_EQ(Tree().size(), 1u);
    g_bSIMTreeReady = 1;
}

namespace {

class ExtendedMainViewTest : public MainViewTest {
  protected:
    ExtendedMainViewTest() {
        m_device.card(extended_profile());
        m_device.set_dword(u"Software\\Nemora\\Telvane\\", u"USIMSupport", 1);
    }

    void AddExtendedEntry(int slot, std::u16string name, std::u16string_view number,
                          std::optional<std::u16string_view> number2,
                          std::optional<std::u16string> email) {
        handset::PhonebookEntry entry = sim_entry(std::move(name), number);
        if (number2) {
            entry.additional_number = *handset::DiallingNumber::parse(*number2);
        }
        entry.email = std::move(email);
        Card().store(slot, entry, handset::EntryFields::all);
    }
};

std::vector<std::pair<std::u16string, int>> Fields(const Item& entry) {
    std::vector<std::pair<std::u16string, int>> fields;
    for (const Item& child : entry.children) {
        fields.emplace_back(child.text, static_cast<int>(child.data));
    }
    return fields;
}

using FieldList = std::vector<std::pair<std::u16string, int>>;

} // namespace

TEST_F(ExtendedMainViewTest, EntriesShowTheSecondNumberAndEmailTheyCarry) {
    AddExtendedEntry(1, u"Anna", u"0301", u"0177", u"anna@example.org");
    AddExtendedEntry(2, u"Ben", u"0302", std::nullopt, std::nullopt);
    Start();
    std::vector<Item> tree = Tree();
    EXPECT_EQ(Fields(tree[0]), (FieldList{{u"0301", FIELD_TEL},
                                          {u"0177", FIELD_TEL2},
                                          {u"anna@example.org", FIELD_EMAIL}}));
    EXPECT_EQ(tree[0].children[1].image, IMG_TEL2);
    EXPECT_EQ(tree[0].children[2].image, IMG_EMAIL);
    EXPECT_EQ(Fields(tree[1]), (FieldList{{u"0302", FIELD_TEL}}));
}

TEST_F(ExtendedMainViewTest, AStoredEntryLosesItsSecondNumberAndGainsAnEmailInPlace) {
    AddExtendedEntry(1, u"Anna", u"0301", u"0177", std::nullopt);
    Start();
    ASSERT_EQ(Fields(Tree()[0]), (FieldList{{u"0301", FIELD_TEL}, {u"0177", FIELD_TEL2}}));

    AddExtendedEntry(1, u"Anna", u"0301", std::nullopt, u"anna@example.org");
    ASSERT_TRUE(TreeBecomes([](const std::vector<Item>& tree) {
        return tree.size() == 1 && tree[0].children.size() == 2 &&
               tree[0].children[1].data == FIELD_EMAIL;
    }));
    EXPECT_EQ(Fields(Tree()[0]),
              (FieldList{{u"0301", FIELD_TEL}, {u"anna@example.org", FIELD_EMAIL}}));
}

TEST_F(MainViewTest, ExitReleasesTheViewBeforeClosingTheMainWindowAndEndsWithZero) {
    Start();
    static bool s_bMenuBarGone = false;
    static int s_iDialogAtClose = -1;
    static WNDPROC s_pfnOriginal = nullptr;
    s_pfnOriginal = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        MainWindow(), GWL_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
            if (uMsg == WM_CLOSE) {
                s_bMenuBarGone = !IsWindow(g_hMainWndMb);
                s_iDialogAtClose = APP_GetCurrentDialog();
            }
            return CallWindowProcW(s_pfnOriginal, hWnd, uMsg, wParam, lParam);
        })));

    PostMessageW(m_main, WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(m_program.exit_code(), std::optional<int>(0));
    EXPECT_TRUE(s_bMenuBarGone);
    EXPECT_EQ(s_iDialogAtClose, 0);
    EXPECT_FALSE(IsWindow(m_main));
    for (const std::string& line : m_program->debug_lines()) {
        EXPECT_EQ(line.find("is not a window"), std::string::npos) << line;
    }
}

TEST_F(MainViewTest, TurningTheRadioOffEndsTheProgram) {
    Start();
    Card().update_state([](handset::CardState& state) { state.radio_on = false; });
    EXPECT_EQ(m_program.exit_code(), std::optional<int>(0));
}

TEST_F(MainViewTest, APinLockSeenOnActivationEndsTheProgramWithoutAMessage) {
    Start();
    Card().update_state([](handset::CardState& state) { state.lock = handset::PinLock::pin; });
    ActivateTheViewAgain();
    EXPECT_EQ(m_program.exit_code(), std::optional<int>(0));
    EXPECT_TRUE(handset::open_message_boxes().empty());
}

namespace {

// Changes made from outside, as a person at the handset's console makes them: handsetctl run as a
// process of its own against the running program's device.
class HandsetctlChangesTest : public MainViewTest {
  protected:
    void Handsetctl(std::vector<std::string> command) {
        command.insert(command.begin(), {HANDSETCTL, "--device", m_device.folder().string()});
        ProgramProcess tool(command, m_device.folder() / "handsetctl-output.txt");
        ASSERT_TRUE(tool.started());
        EXPECT_EQ(tool.wait_for_exit(kProgramWait), std::optional<int>(0)) << tool.output();
    }
};

} // namespace

TEST_F(HandsetctlChangesTest, AddedChangedAndDeletedEntriesShowInTheTreeWithoutARefresh) {
    AddEntry(u"Max", u"0302");
    Start();
    Handsetctl({"phonebook", "add", "Anna", "0301"});
    ASSERT_TRUE(TreeBecomes([](const std::vector<Item>& tree) { return tree.size() == 2; }));
    EXPECT_EQ(Names(Tree()), (std::vector<std::u16string>{u"Anna", u"Max"}));
    EXPECT_EQ(Selected(m_tree), Tree()[0].handle);

    Handsetctl({"phonebook", "add", "Zoe", "0999", "--index", "1"});
    ASSERT_TRUE(TreeBecomes(
        [](const std::vector<Item>& tree) { return tree.size() == 2 && tree[1].text == u"Zoe"; }));
    EXPECT_EQ(Tree()[1].children[0].text, u"0999");

    Handsetctl({"phonebook", "delete", "1"});
    ASSERT_TRUE(TreeBecomes([](const std::vector<Item>& tree) { return tree.size() == 1; }));
    EXPECT_EQ(Names(Tree()), (std::vector<std::u16string>{u"Anna"}));
}

TEST_F(HandsetctlChangesTest, RadioOffEndsTheProgram) {
    Start();
    Handsetctl({"radio", "off"});
    EXPECT_EQ(m_program.exit_code(), std::optional<int>(0));
}

TEST_F(HandsetctlChangesTest, APinLockEndsTheProgramWhenTheViewIsNextActivated) {
    Start();
    Handsetctl({"sim", "lock", "pin"});
    ASSERT_TRUE(m_program->running());
    ActivateTheViewAgain();
    EXPECT_EQ(m_program.exit_code(), std::optional<int>(0));
    EXPECT_TRUE(handset::open_message_boxes().empty());
}

namespace {

class StatusLine : public MainViewTest, public ::testing::WithParamInterface<ScreenCase> {};

bool Dark(COLORREF colour) {
    return GetRValue(colour) < 96 && GetGValue(colour) < 96 && GetBValue(colour) < 96;
}

// The right end of the text drawn into the window: the last column holding a dark pixel.
int TextRightEdge(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    int right = -1;
    for (int x = 0; x < client.right; ++x) {
        for (int y = 0; y < client.bottom; ++y) {
            if (Dark(GetPixel(dc, x, y))) {
                right = x;
                break;
            }
        }
    }
    ReleaseDC(window, dc);
    return right;
}

} // namespace

TEST_P(StatusLine, IsAGreyBandAboveTheTreeCountingUsedAgainstTotal) {
    handset::Screen::instance().set_profile(GetParam().profile);
    AddEntry(u"Anna", u"0301");
    Start();
    HWND status = GetDlgItem(m_main, IDC_MEMORY_STATUS);
    RECT band;
    GetClientRect(status, &band);
    RECT client;
    GetClientRect(m_main, &client);
    EXPECT_EQ(band.bottom, 18 * GetParam().scale);
    EXPECT_EQ(band.right, client.right);
    RECT tree = m_program->read(m_tree)->rect;
    EXPECT_EQ(tree.top, m_program->read(status)->rect.bottom);
    POINT client_bottom = {0, client.bottom};
    ClientToScreen(m_main, &client_bottom);
    EXPECT_EQ(tree.bottom, client_bottom.y);

    HDC dc = GetDC(status);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(172, 172, 172));
    EXPECT_EQ(GetPixel(dc, band.right - 1, band.bottom - 1), RGB(172, 172, 172));
    SIZE expected = {};
    const std::u16string text = u" SIM Memory:   1/250";
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &expected);
    ReleaseDC(status, dc);
    EXPECT_NEAR(TextRightEdge(status), expected.cx, 18 * GetParam().scale / 6);
}

INSTANTIATE_TEST_SUITE_P(AtEachScreen, StatusLine, EachScreen(), ScreenName);

class MainViewPicture : public MainViewTest, public ::testing::WithParamInterface<ScreenCase> {};

// A fixed card: entries with national, international and long numbers, one of them checked, and
// the last one expanded to show its number.
TEST_P(MainViewPicture, LooksAsItsReference) {
    handset::Screen::instance().set_profile(GetParam().profile);
    AddEntry(u"Anna Berger", u"01701234567", 1);
    AddEntry(u"Office Berlin", u"+493012345678", 2);
    AddEntry(u"Zo\u00EB M\u00FC", u"0301112233", 3);
    AddEntry(u"Dad", u"0612345678", 4);
    Start();
    std::vector<Item> tree = Tree();
    TREE_CHECKBOX_Toggle(m_tree, tree[1].handle);
    Expand(tree[3].handle);
    ASSERT_TRUE(m_program->wait_until_idle(kProgramWait));
    ExpectScreenMatchesReference(std::filesystem::path(REFERENCE_DIR) /
                                 (std::string("main_view_") + GetParam().name + ".png"));
}

INSTANTIATE_TEST_SUITE_P(AtEachScreen, MainViewPicture, EachScreen(), ScreenName);

class GermanMainViewPicture : public MainViewPicture {};

// The same card on a German device: the status line and the soft keys in German.
TEST_P(GermanMainViewPicture, LooksAsItsReference) {
    handset::Screen::instance().set_profile(GetParam().profile);
    SpeakGerman(m_device);
    AddEntry(u"J\u00FCrgen Wei\u00DF", u"01701234567", 1);
    AddEntry(u"B\u00FCro Berlin", u"+493012345678", 2);
    AddEntry(u"Oma", u"0612345678", 3);
    Start();
    std::vector<Item> tree = Tree();
    TREE_CHECKBOX_Toggle(m_tree, tree[0].handle);
    Expand(tree[2].handle);
    ASSERT_TRUE(m_program->wait_until_idle(kProgramWait));
    ExpectScreenMatchesReference(std::filesystem::path(REFERENCE_DIR) /
                                 (std::string("main_view_de_") + GetParam().name + ".png"));
}

INSTANTIATE_TEST_SUITE_P(AtEachScreen, GermanMainViewPicture, EachScreen(), ScreenName);

namespace {

int CountLines(const std::vector<std::string>& lines, const std::string& text) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(text) != std::string::npos;
    }));
}

} // namespace

TEST_F(MainViewTest, TheStatusLineCountsWhatTheCardHoldsAfterChangesFromOutside) {
    AddEntry(u"Anna", u"0301");
    Start();
    AddEntry(u"Ben", u"0302");
    AddEntry(u"Cleo", u"0303");
    ASSERT_TRUE(TreeBecomes([](const std::vector<Item>& tree) { return tree.size() == 3; }));
    EXPECT_TRUE(m_program->wait_until(
        [&] {
            return CountLines(m_program->debug_lines(), "SIM_GetPhoneBookStatus: Used:3, ") > 0;
        },
        kProgramWait));
}

// A slot that cannot be read when its notification comes leaves the tree as it was.
TEST_F(MainViewTest, AStoredEntryThatCannotBeReadAddsNoItem) {
    AddEntry(u"Anna", u"0301", 1);
    CardFaults faults;
    faults.failing_read_slot = 9;
    faults.read_error = SIM_E_MEMORYFAILURE;
    FaultyCardScope faulty(faults);
    Start();
    // The fill has met the damaged slot once already; the notification reads it again.
    AddEntry(u"Ghost", u"0309", 9);
    ASSERT_TRUE(m_program->wait_until(
        [&] { return CountLines(m_program->debug_lines(), "SIM_Error: #9: ") == 2; },
        kProgramWait));
    ASSERT_TRUE(m_program->wait_until_idle(kProgramWait));
    std::vector<Item> tree = Tree();
    EXPECT_EQ(Names(tree), (std::vector<std::u16string>{u"Anna"}));
    EXPECT_EQ(Selected(m_tree), tree[0].handle);
}

// The first fill reaches slot 3 when an entry arrives for slot 7, which it has not read yet.
TEST_F(MainViewTest, AnEntryNotifiedDuringTheFillShowsOnce) {
    AddEntry(u"Anna", u"0301", 1);
    AddEntry(u"Ben", u"0302", 3);
    std::atomic<bool> stored{false};
    const std::filesystem::path card_file = m_device.folder() / "sim.db";
    CardFaults faults;
    faults.before_read = [&](DWORD index) {
        if (index != 3 || stored.exchange(true)) {
            return;
        }
        handset::CardFile::open(card_file).store(7, sim_entry(u"Late", u"0307"),
                                                 handset::EntryFields::all);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!TREE_FindItemByMemIndex(g_hSIMTree, 7) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    FaultyCardScope faulty(faults);
    Start();
    EXPECT_EQ(Names(Tree()), (std::vector<std::u16string>{u"Anna", u"Ben", u"Late"}));
}
