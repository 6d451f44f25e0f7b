#include "aygshell/keyboard_layout.h"
#include "aygshell/shell_windows.h"
#include "faulty_card.h"
#include "gdi/screen.h"
#include "program_driver.h"
#include "reference_screen.h"
#include "screen_cases.h"
#include "tree_items.h"
#include "views/main_view.h"
#include "views/tree.h"

#include <aygshell.h>
#include <commctrl.h>
#include <simmgr.h>
#include <sipapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::u16string kNeedNumber = u"SIM contacts must include a phone number.";
const std::u16string kNeedMobileNumber =
    u"SIM contacts must include a mobile phone number. Enter a mobile phone number and try again.";
const std::u16string kNameTooLong =
    u"The SIM contact name is too long. Shorten the name and try again.";

class EntryEditorTest : public ProgramTest {
  protected:
    void UseExtendedCard(bool email) {
        m_device.set_dword(u"Software\\Nemora\\Telvane\\", u"USIMSupport", 1);
        m_device.card(extended_profile(20, email ? 40 : 0));
    }

    // Opens the editor as the person would and waits for its name field.
    void Open(int dialog) {
        if (dialog == IDD_NEW) {
            m_program->press_key(VK_TSOFT1);
        } else {
            PostMessageW(m_main, WM_COMMAND, ID_EDIT, 0);
        }
        ASSERT_TRUE(
            m_program->wait_until([&] { return APP_GetCurrentDialog() == dialog; }, kProgramWait));
        HWND name = m_program->wait_for_window({u"Edit", std::nullopt, IDC_NAME}, kProgramWait);
        ASSERT_TRUE(name);
        m_editor = GetParent(name);
        ASSERT_TRUE(m_program->wait_until_idle(kProgramWait));
    }

    HWND Field(int id) { return GetDlgItem(m_editor, id); }

    std::u16string Text(int id) {
        WCHAR text[300] = {};
        GetWindowTextW(Field(id), text, 300);
        return text;
    }

    bool Shown(int id) { return IsWindowVisible(Field(id)); }

    static LONG Width(HWND window) {
        RECT rect;
        GetWindowRect(window, &rect);
        return rect.right - rect.left;
    }

    // The control's top in the editor's client area.
    LONG Top(int id) {
        RECT rect;
        GetWindowRect(Field(id), &rect);
        POINT top = {rect.left, rect.top};
        ScreenToClient(m_editor, &top);
        return top.y;
    }

    // A tap into the field, then the text typed on the keyboard.
    void TypeInto(int id, std::u16string_view text) {
        RECT rect;
        GetWindowRect(Field(id), &rect);
        m_program->tap(POINT{rect.right - 4, (rect.top + rect.bottom) / 2});
        m_program->press_key(VK_END);
        m_program->type(text);
        m_program->wait_until_idle(kProgramWait);
    }

    void Clear(int id) { SetWindowTextW(Field(id), u""); }

    void Done() { m_program->press_key(VK_TSOFT1); }
    void Cancel() { m_program->press_key(VK_TSOFT2); }

    bool BackInTheMainView() {
        return m_program->wait_until([] { return APP_GetCurrentDialog() == IDD_MAIN; },
                                     kProgramWait) &&
               m_program->wait_until_idle(kProgramWait);
    }

    std::vector<Item> Tree() { return ReadTree(m_tree); }

    void Select(const Item& item) {
        SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(item.handle.value()));
    }

    HWND m_editor = nullptr;
};

} // namespace

TEST_F(EntryEditorTest, ANewEntryIsStoredAndShownSortedAndSelected) {
    AddEntry(u"Anna", u"0301");
    AddEntry(u"Zack", u"0302");
    Start();
    Open(IDD_NEW);
    EXPECT_EQ(Text(IDC_NAME), u"");

    m_program->type(u"Zo\u00EB");
    TypeInto(IDC_NUMBER, u"(030) 123-45");
    Done();
    ASSERT_TRUE(BackInTheMainView());

    std::vector<handset::StoredEntry> entries = Card().entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].entry.name, u"Zo\u00EB");
    EXPECT_EQ(entries[2].entry.number.digits(), u"03012345");
    ASSERT_TRUE(m_program->wait_until([&] { return Tree().size() == 3; }, kProgramWait));
    std::vector<Item> tree = Tree();
    EXPECT_EQ(Names(tree), (std::vector<std::u16string>{u"Anna", u"Zack", u"Zo\u00EB"}));
    EXPECT_EQ(Selected(m_tree), tree[2].handle);
    EXPECT_EQ(tree[2].data, entries[2].slot);
}

TEST_F(EntryEditorTest, EditChangesTheSelectedEntryInItsSlotAndKeepsItsCheckMark) {
    AddEntry(u"Anna", u"0301");
    AddEntry(u"Ben", u"+4930123");
    Start();
    Select(Tree()[1]);
    TREE_CHECKBOX_Toggle(m_tree, Tree()[1].handle);
    Open(IDD_EDIT);
    EXPECT_EQ(Text(IDC_NAME), u"Ben");
    EXPECT_EQ(Text(IDC_NUMBER), u"+4930123");

    TypeInto(IDC_NAME, u"jamin");
    Done();
    ASSERT_TRUE(BackInTheMainView());

    std::optional<handset::PhonebookEntry> ben = Card().entry(2);
    ASSERT_TRUE(ben);
    EXPECT_EQ(ben->name, u"Benjamin");
    EXPECT_EQ(ben->number.digits(), u"4930123");
    EXPECT_TRUE(ben->number.international());
    ASSERT_TRUE(m_program->wait_until([&] { return Tree()[1].text == u"Benjamin"; }, kProgramWait));
    EXPECT_EQ(Tree()[1].image, IMG_CHECKED);
    EXPECT_EQ(Tree()[1].data, 2);
    EXPECT_EQ(Card().entries().size(), 2u);
}

TEST_F(EntryEditorTest, RefusalsKeepTheEditorOpenAndCancelAfterwardsWritesNothing) {
    Start();
    Open(IDD_NEW);
    m_program->type(u"Ann");
    Done();
    EXPECT_EQ(m_program.answer_box().text, kNeedNumber);
    EXPECT_EQ(APP_GetCurrentDialog(), IDD_NEW);

    // Fits the field's 14 characters, but as UCS-2 only 6 fit.
    TypeInto(IDC_NAME, u"\u00EB Bauer");
    TypeInto(IDC_NUMBER, u"0301234");
    Done();
    handset::MessageBoxContent box = m_program.answer_box();
    EXPECT_EQ(box.text, kNameTooLong);
    EXPECT_EQ(box.caption, u"Error");
    EXPECT_EQ(APP_GetCurrentDialog(), IDD_NEW);
    EXPECT_EQ(Text(IDC_NAME), u"Ann\u00EB Bauer");

    Cancel();
    ASSERT_TRUE(BackInTheMainView());
    EXPECT_TRUE(Card().entries().empty());
}

TEST_F(EntryEditorTest, AnEmptyNameIsSavedAsTheNumber) {
    Start();
    Open(IDD_NEW);
    TypeInto(IDC_NUMBER, u"0301234");
    Done();
    ASSERT_TRUE(BackInTheMainView());
    ASSERT_EQ(Card().entries().size(), 1u);
    EXPECT_EQ(Card().entries()[0].entry.name, u"0301234");
}

TEST_F(EntryEditorTest, APlainCardShowsOnlyNameAndNumberOneBelowTheOther) {
    Start();
    Open(IDD_NEW);
    EXPECT_TRUE(Shown(IDC_NAME_LABEL) && Shown(IDC_NAME));
    EXPECT_TRUE(Shown(IDC_NUMBER_LABEL) && Shown(IDC_NUMBER));
    for (int hidden : {IDC_NICKNAME_LABEL, IDC_NICKNAME, IDC_NUMBER2_LABEL, IDC_NUMBER2,
                       IDC_EMAIL_LABEL, IDC_EMAIL}) {
        EXPECT_FALSE(Shown(hidden)) << hidden;
    }
    EXPECT_EQ((std::vector<LONG>{Top(IDC_NAME_LABEL), Top(IDC_NAME), Top(IDC_NUMBER_LABEL),
                                 Top(IDC_NUMBER)}),
              (std::vector<LONG>{5, 28, 56, 79}));
    EXPECT_EQ(SendMessageW(Field(IDC_NAME), EM_GETLIMITTEXT, 0, 0), 14);
    EXPECT_EQ(SendMessageW(Field(IDC_NUMBER), EM_GETLIMITTEXT, 0, 0), 20);
}

TEST_F(EntryEditorTest, AnExtendedCardWithoutEmailShowsTheSecondNumberBelowTheNumber) {
    UseExtendedCard(false);
    Card().store(1,
                 handset::PhonebookEntry{u"Ann", *handset::DiallingNumber::parse(u"0301"),
                                         *handset::DiallingNumber::parse(u"0172"), std::nullopt},
                 handset::EntryFields::all);
    Start();
    Open(IDD_EDIT);
    EXPECT_TRUE(Shown(IDC_NUMBER2_LABEL) && Shown(IDC_NUMBER2));
    EXPECT_FALSE(Shown(IDC_EMAIL_LABEL) || Shown(IDC_EMAIL));
    EXPECT_EQ(Top(IDC_NUMBER2_LABEL), 107);
    EXPECT_EQ(Top(IDC_NUMBER2), 130);
    EXPECT_EQ(Text(IDC_NUMBER2), u"0172");

    SetWindowTextW(Field(IDC_NUMBER2), u"");
    Done();
    ASSERT_TRUE(BackInTheMainView());
    std::optional<handset::PhonebookEntry> ann = Card().entry(1);
    ASSERT_TRUE(ann);
    EXPECT_FALSE(ann->additional_number);
}

class EditorScroll : public EntryEditorTest, public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(EditorScroll, WithThePanelUpTheFormScrollsInStepsAndNeverPastItsOverflow) {
    handset::Screen::instance().set_profile(GetParam().profile);
    UseExtendedCard(true);
    Start();
    Open(IDD_NEW);
    const int u = GetParam().scale;
    SIPINFO sip = {};
    sip.cbSize = sizeof(sip);
    ASSERT_TRUE(SipGetInfo(&sip));
    ASSERT_TRUE(sip.fdwFlags & SIPF_ON);
    const LONG form = 237 * u;
    const LONG overflow = form + 23 * u - sip.rcVisibleDesktop.bottom;
    ASSERT_GT(overflow, 0);
    EXPECT_TRUE(Shown(IDC_FORM_SCROLL));
    EXPECT_EQ(Width(m_editor), sip.rcVisibleDesktop.right - sip.rcVisibleDesktop.left);

    const LONG name_top = Top(IDC_NAME);
    const LONG bar_top = Top(IDC_FORM_SCROLL);
    SendMessageW(m_editor, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(Top(IDC_NAME), name_top - 10 * u);
    EXPECT_EQ(Top(IDC_FORM_SCROLL), bar_top) << "the scroll bar stays put";
    for (int i = 0; i < 40; ++i) {
        SendMessageW(m_editor, WM_VSCROLL, SB_LINEDOWN, 0);
    }
    EXPECT_EQ(Top(IDC_NAME), name_top - (overflow - 1));
    SendMessageW(m_editor, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    EXPECT_EQ(Top(IDC_NAME), name_top);

    // With the panel down the whole form fits: no scroll bar, and the dialog reaches past the
    // screen by the bar's width.
    SendMessageW(m_editor, WM_VSCROLL, SB_PAGEDOWN, 0);
    SHSipPreference(m_editor, SIP_DOWN);
    ASSERT_TRUE(m_program->wait_until([&] { return !Shown(IDC_FORM_SCROLL); }, kProgramWait));
    ASSERT_TRUE(SipGetInfo(&sip));
    EXPECT_EQ(Width(m_editor), sip.rcVisibleDesktop.right - sip.rcVisibleDesktop.left + 13 * u);
    EXPECT_EQ(Top(IDC_NAME), name_top) << "the form is back at its top";
}

INSTANTIATE_TEST_SUITE_P(AtEachScreen, EditorScroll, EachScreen(), ScreenName);

class GermanEditorPicture : public EntryEditorTest,
                            public ::testing::WithParamInterface<ScreenCase> {};

// A new entry on a German device with an extended card, a name typed and the input panel put
// down, so that every label shows: each one in German, and whole.
TEST_P(GermanEditorPicture, LooksAsItsReference) {
    handset::Screen::instance().set_profile(GetParam().profile);
    SpeakGerman(m_device);
    UseExtendedCard(true);
    Start();
    Open(IDD_NEW);
    TypeInto(IDC_NAME, u"J\u00FCrgen Wei\u00DF");
    SHSipPreference(m_editor, SIP_DOWN);
    ASSERT_TRUE(m_program->wait_until([&] { return !Shown(IDC_FORM_SCROLL); }, kProgramWait));
    ASSERT_TRUE(m_program->wait_until_idle(kProgramWait));
    ExpectScreenMatchesReference(std::filesystem::path(REFERENCE_DIR) /
                                 (std::string("entry_editor_de_") + GetParam().name + ".png"));
}

INSTANTIATE_TEST_SUITE_P(AtEachScreen, GermanEditorPicture, EachScreen(), ScreenName);

TEST_F(EntryEditorTest, TheInputPanelTypesIntoTheFocusedField) {
    Start();
    Open(IDD_NEW);
    const HWND panel = handset::ShellWindows::instance().input_panel();
    ASSERT_TRUE(IsWindowVisible(panel));
    RECT client;
    GetClientRect(panel, &client);
    const handset::KeyboardLayout layout(client.right, client.bottom);
    for (char16_t wanted : std::u16string(u"ab1")) {
        for (const handset::PanelKey& key : layout.keys()) {
            if (key.action == handset::PanelKey::Action::character &&
                key.character(false) == wanted) {
                POINT centre = {(key.area.left + key.area.right) / 2,
                                (key.area.top + key.area.bottom) / 2};
                ClientToScreen(panel, &centre);
                m_program->tap(centre);
            }
        }
    }
    ASSERT_TRUE(m_program->wait_until([&] { return Text(IDC_NAME) == u"ab1"; }, kProgramWait));
}

// A card that answered nothing gives the fields no limit; with no room known for a number, Done
// refuses and writes nothing.
TEST_F(EntryEditorTest, ACardWithoutCapabilitiesLetsThePersonTypeButSavesNothing) {
    CardFaults faults;
    faults.capabilities_error = SIM_E_UNDETERMINED;
    FaultyCardScope faulty(faults);
    Start();
    Open(IDD_NEW);
    const std::u16string long_name(40, u'a');
    m_program->type(long_name);
    TypeInto(IDC_NUMBER, u"0301234");
    EXPECT_EQ(Text(IDC_NAME), long_name);
    Done();
    EXPECT_EQ(m_program.answer_box().text, kNeedMobileNumber);
    EXPECT_EQ(APP_GetCurrentDialog(), IDD_NEW);
    EXPECT_TRUE(Card().entries().empty());
}

// A stored notification for a new entry moves the main view's selection while the editor is
// open; the edit still goes to the entry it opened with.
TEST_F(EntryEditorTest, AnEntryAddedElsewhereWhileEditingDoesNotTakeTheEdit) {
    AddEntry(u"Ben", u"0302");
    Start();
    Open(IDD_EDIT);
    AddEntry(u"Aaron", u"0301");
    ASSERT_TRUE(m_program->wait_until(
        [&] {
            std::vector<Item> tree = Tree();
            return tree.size() == 2 && Selected(m_tree) == tree[0].handle;
        },
        kProgramWait));
    TypeInto(IDC_NAME, u"jamin");
    Done();
    ASSERT_TRUE(BackInTheMainView());
    EXPECT_EQ(Card().entry(1)->name, u"Benjamin");
    EXPECT_EQ(Card().entry(2)->name, u"Aaron");
}

TEST_F(EntryEditorTest, AnInternationalNumberOfTheFullLengthSurvivesDoneUnchanged) {
    AddEntry(u"Ann", u"+01234567890123456789");
    Start();
    Open(IDD_EDIT);
    EXPECT_EQ(Text(IDC_NUMBER), u"+01234567890123456789");
    Done();
    ASSERT_TRUE(BackInTheMainView());
    EXPECT_EQ(Card().entry(1)->number.digits(), u"01234567890123456789");
    EXPECT_TRUE(Card().entry(1)->number.international());
}
