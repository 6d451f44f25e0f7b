#include "automation/driver.h"
#include "automation/window_input.h"
#include "display/png_file.h"
#include "display/shell_input.h"
#include "faulty_card.h"
#include "gdi/screen.h"
#include "in_folder.h"
#include "menu_items.h"
#include "menuext/copy_dialog.h"
#include "menuext/quorrel.h"
#include "poom/contact_store.h"
#include "program_process.h"
#include "quorrel_ids.h"
#include "test_device.h"
#include "tree_items.h"
#include "user/message_box.h"

#include <aygshell.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
BOOL WINAPI DllMain(HINSTANCE hModule, DWORD dwReason, LPVOID pReserved);
HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
HRESULT STDMETHODCALLTYPE DllCanUnloadNow();
}

namespace {

using handset::ContactField;
using handset::ContactRecord;

constexpr handset::Milliseconds kWait{10000};

// How the host program opens the dialog.
struct HostRun {
    int openings = 1;
    bool com_before = false;
};
HostRun g_run;

IContextMenu* NewMenuExt() {
    IClassFactory* factory = nullptr;
    DllGetClassObject(CLSID_MenuExt, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    IContextMenu* menu = nullptr;
    factory->lpVtbl->CreateInstance(factory, nullptr, IID_IContextMenu,
                                    reinterpret_cast<void**>(&menu));
    factory->lpVtbl->Release(factory);
    return menu;
}

// The Contacts application as far as the dialog needs it: a window that owns it, and the
// command invoked on it. Ends with 0 when nothing of the library is left alive.
int WINAPI HostProgram(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"TestContacts";
    RegisterClassW(&wc);
    HWND owner = CreateWindowExW(0, u"TestContacts", u"Contacts", WS_POPUP | WS_VISIBLE, 0, 0, 240,
                                 320, nullptr, nullptr, hInstance, nullptr);
    DllMain(hInstance, DLL_PROCESS_ATTACH, nullptr);
    if (g_run.com_before) {
        CoInitializeEx(nullptr, 0);
    }
    for (int i = 0; i < g_run.openings; ++i) {
        IContextMenu* menu = NewMenuExt();
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.hwnd = owner;
        menu->lpVtbl->InvokeCommand(menu, &info);
        menu->lpVtbl->Release(menu);
    }
    if (g_run.com_before) {
        CoUninitialize();
    }
    DestroyWindow(owner);
    return DllCanUnloadNow() == S_OK ? 0 : 1;
}

ContactRecord Contact(std::u16string first, std::u16string last, std::u16string mobile,
                      std::u16string home = u"", std::u16string business = u"") {
    ContactRecord contact;
    contact[ContactField::first_name] = std::move(first);
    contact[ContactField::last_name] = std::move(last);
    contact[ContactField::mobile_telephone] = std::move(mobile);
    contact[ContactField::home_telephone] = std::move(home);
    contact[ContactField::business_telephone] = std::move(business);
    return contact;
}

class CopyDialogTest : public ::testing::Test {
  protected:
    CopyDialogTest() : m_in_folder(m_device.folder()), m_input(m_window_system), m_driver(m_input) {
        m_device.card();
    }

    ~CopyDialogTest() override {
        if (m_driver.running()) {
            if (HWND dialog = Dialog()) {
                PostMessageW(dialog, WM_COMMAND, IDM_GO_BACK, 0);
            }
            m_driver.wait_for_exit(kWait);
        }
    }

    void AddContacts(std::vector<ContactRecord> contacts) {
        handset::StoreResult result;
        auto store = handset::ContactStore::open(m_device.folder() / "contacts.db", result);
        if (!store) {
            store = handset::ContactStore::create(m_device.folder() / "contacts.db", result);
        }
        ASSERT_TRUE(store) << result.detail;
        ASSERT_TRUE(store->add_all(contacts).ok());
    }

    // Opens the dialog and waits until it has painted.
    void Open(HostRun run = {}) {
        g_run = run;
        m_driver.start(HostProgram, m_device.folder());
        m_tree = m_driver.wait_for_window({u"SysTreeView32", std::nullopt, IDC_CONTACTS}, kWait);
        ASSERT_TRUE(m_tree);
        ASSERT_TRUE(m_driver.wait_until_idle(kWait));
    }

    HWND Dialog() { return m_tree ? GetParent(m_tree) : HWND(); }

    void Command(UINT command) {
        PostMessageW(Dialog(), WM_COMMAND, command, 0);
        m_driver.wait_until_idle(kWait);
    }

    std::u16string Box() {
        HWND box = m_driver.wait_for_message_box(kWait);
        EXPECT_TRUE(box) << "no message box opened";
        if (!box) {
            return {};
        }
        std::u16string text = m_driver.message_box(box).value_or(handset::MessageBoxContent{}).text;
        m_driver.answer(box);
        m_driver.wait_until_idle(kWait);
        return text;
    }

    int Lines(const std::string& text) {
        std::vector<std::string> lines = m_driver.debug_lines();
        return static_cast<int>(
            std::count_if(lines.begin(), lines.end(),
                          [&](const std::string& l) { return l.find(text) != std::string::npos; }));
    }

    bool NoBox() { return !m_driver.wait_for_message_box(handset::Milliseconds(300)); }

    std::vector<Item> Tree() { return ReadTree(m_tree); }

    // The view menu, asked of the dialog's menu bar.
    HMENU ViewMenu() {
        HWND bar = m_driver.wait_for_window({u"menu_worker", std::nullopt, std::nullopt}, kWait);
        return HMENU(static_cast<DWORD>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 0)));
    }

    std::u16string SelectAllText() { return MenuItemText(ViewMenu(), IDM_SELECT_ALL, FALSE); }

    bool SelectAllGrayed() {
        return GetMenuState(ViewMenu(), IDM_SELECT_ALL, MF_BYCOMMAND) & MF_GRAYED;
    }

    // A tap on the item's check image.
    void TapImage(HTREEITEM item) {
        m_driver.tap(IconPoint(m_tree, item));
        m_driver.wait_until_idle(kWait);
    }

    std::vector<handset::StoredEntry> Card() {
        return handset::CardFile::open(m_device.folder() / "sim.db").entries();
    }

    TestDevice m_device;
    InFolder m_in_folder;
    handset::WindowSystemInput m_window_system;
    handset::ShellInput m_input;
    handset::Driver m_driver;
    HWND m_tree = nullptr;
};

std::vector<int> Images(const std::vector<Item>& items) {
    std::vector<int> images;
    for (const Item& item : items) {
        images.push_back(item.image);
    }
    return images;
}

} // namespace

TEST_F(CopyDialogTest, ListsEveryContactWithItsNumbersAndTheCardsSlots) {
    AddContacts({Contact(u"John", u"Smith", u"0170111", u"030222"), Contact(u"Ann", u"", u""),
                 Contact(u"", u"Lee", u"", u"", u"040333")});
    Open();
    std::vector<Item> tree = Tree();
    ASSERT_EQ(Names(tree), (std::vector<std::u16string>{u"Ann", u"Lee", u"Smith,John"}));
    EXPECT_EQ(Images(tree), (std::vector<int>{CHK_NONE, CHK_OFF, CHK_OFF}));
    EXPECT_EQ(Names(tree[1].children), (std::vector<std::u16string>{u"[W] 040333"}));
    EXPECT_EQ(Names(tree[2].children),
              (std::vector<std::u16string>{u"[H] 030222", u"[M] 0170111"}));
    EXPECT_EQ(Lines("Quorrel: -InitialSIMPOOM"), 1);
    EXPECT_FALSE(SelectAllGrayed());
    const handset::Surface screen = handset::Screen::instance().compose();
    handset::write_png(std::filesystem::path(SCREENSHOT_DIR) / "copy_to_sim_qvga.png", screen);
}

TEST_F(CopyDialogTest, ChineseInterfacesJoinTheNamesWithoutACommaAndLongNamesAreCut) {
    m_device.set_dword(u"Handset\\Device", u"UILanguage", 0x0804);
    AddContacts({Contact(u"John", u"Smith", u"0170111"),
                 Contact(std::u16string(150, u'f'), std::u16string(150, u'l'), u"0170222")});
    Open();
    std::vector<Item> tree = Tree();
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].text, std::u16string(150, u'l') + std::u16string(105, u'f'));
    EXPECT_EQ(tree[1].text, u"SmithJohn");
}

TEST_F(CopyDialogTest, AViewShowsOnlyItsKindOfNumberAndClearsTheChecks) {
    AddContacts({Contact(u"John", u"Smith", u"0170111", u"030222"),
                 Contact(u"", u"Office", u"", u"", u"040333")});
    Open();
    Command(IDM_SELECT_ALL);
    Command(IDM_VIEW_HOME);
    std::vector<Item> tree = Tree();
    EXPECT_EQ(Images(tree), (std::vector<int>{CHK_NONE, CHK_OFF}));
    EXPECT_EQ(Names(tree[1].children), (std::vector<std::u16string>{u"[H] 030222"}));
    EXPECT_EQ(Images(tree[1].children), (std::vector<int>{CHK_OFF}));
    EXPECT_TRUE(GetMenuState(ViewMenu(), IDM_VIEW_HOME, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(ViewMenu(), IDM_VIEW_ALL, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(SelectAllText(), u"Select All");
}

TEST_F(CopyDialogTest, AContactsBoxChecksItsNumbersAndTheLastCheckOffersSelectNone) {
    AddContacts({Contact(u"John", u"Smith", u"0170111", u"030222"), Contact(u"Ann", u"", u"")});
    Open();
    TapImage(Tree()[1].handle);
    std::vector<Item> tree = Tree();
    EXPECT_EQ(tree[1].image, CHK_ON);
    EXPECT_EQ(Images(tree[1].children), (std::vector<int>{CHK_ON, CHK_ON}));
    EXPECT_EQ(SelectAllText(), u"Select None");

    TapImage(tree[1].children[0].handle);
    tree = Tree();
    EXPECT_EQ(tree[1].image, CHK_OFF);
    EXPECT_EQ(Images(tree[1].children), (std::vector<int>{CHK_OFF, CHK_ON}));
    EXPECT_EQ(SelectAllText(), u"Select All");

    TapImage(tree[0].handle);
    EXPECT_EQ(Tree()[0].image, CHK_NONE) << "a contact without numbers cannot be checked";
}

TEST_F(CopyDialogTest, SelectAllAndCopyWriteEveryNumberAndASecondCopyHasNothingToDo) {
    AddContacts({Contact(u"John", u"Smith", u"+49170111", u"030222"), Contact(u"Ann", u"", u""),
                 Contact(u"", u"Lee", u"", u"", u"040333")});
    Open();
    Command(IDM_SELECT_ALL);
    Command(IDM_DO_COPY);
    EXPECT_EQ(Box(), u"Successfully copied Contacts to SIM card.");
    std::vector<handset::StoredEntry> card = Card();
    ASSERT_EQ(card.size(), 3u);
    std::vector<std::u16string> written;
    for (const handset::StoredEntry& stored : card) {
        written.push_back(stored.entry.name + u" " + stored.entry.number.text());
    }
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::u16string>{u"Lee 040333", u"Smith,John +49170111",
                                                    u"Smith,John 030222"}));
    std::vector<Item> tree = Tree();
    EXPECT_EQ(Images(tree), (std::vector<int>{CHK_NONE, CHK_DONE, CHK_DONE}));

    Command(IDM_DO_COPY);
    EXPECT_EQ(Box(), u"No Contacts saved in SIM card!");
    EXPECT_EQ(Card().size(), 3u);
}

TEST_F(CopyDialogTest, MoreCheckedNumbersThanFreeSlotsAreRefusedWithTheirCounts) {
    handset::CardProfile small;
    small.slots = 3;
    m_device.card(small);
    AddContacts({Contact(u"John", u"Smith", u"0170111", u"030222", u"040333"),
                 Contact(u"Ann", u"Berg", u"0170444", u"030555")});
    Open();
    Command(IDM_SELECT_ALL);
    Command(IDM_DO_COPY);
    EXPECT_EQ(Box(), u"Space Needed:   5 Item\nRemaining Space:   3 Item");
    EXPECT_TRUE(Card().empty());

    TapImage(Tree()[0].handle);
    Command(IDM_DO_COPY);
    EXPECT_EQ(Box(), u"Successfully copied Contacts to SIM card.");
    EXPECT_EQ(Card().size(), 3u);
}

// A card that reports more used slots than it has must not look like one with plenty of room.
TEST_F(CopyDialogTest, ACardReportingMoreUsedThanTotalHasNoRoom) {
    AddContacts({Contact(u"John", u"Smith", u"0170111")});
    CardFaults faults;
    faults.reported_status = [](DWORD& used, DWORD& total) {
        used = 5;
        total = 3;
    };
    FaultyCardScope faulty(faults);
    Open();
    Command(IDM_SELECT_ALL);
    Command(IDM_DO_COPY);
    EXPECT_EQ(Box(), u"Space Needed:   1 Item\nRemaining Space:   0 Item");
}

TEST_F(CopyDialogTest, AWriteTheCardRefusesStopsWithTheContactsNameAndKeepsWhatWasWritten) {
    AddContacts({Contact(u"A", u"Able", u"0170111"), Contact(u"B", u"Baker", u"0170222")});
    Open();
    Command(IDM_SELECT_ALL);
    handset::CardFile::open(m_device.folder() / "sim.db").update_state([](handset::CardState& s) {
        s.present = false;
    });
    Command(IDM_DO_COPY);
    EXPECT_EQ(Box(), u"Able,A Save error!\nFailed to save the entry to SIM card!");
    EXPECT_TRUE(NoBox()) << "no success box follows";
    EXPECT_EQ(Tree()[0].children[0].image, CHK_ON);
}

TEST_F(CopyDialogTest, AnEmptyStoreGraysSelectAllAndCopyShowsNothing) {
    AddContacts({});
    Open();
    EXPECT_TRUE(Tree().empty());
    EXPECT_TRUE(SelectAllGrayed());
    Command(IDM_DO_COPY);
    EXPECT_TRUE(NoBox());
    EXPECT_EQ(Lines("Fail to copy Contacts to SIM Card"), 1);
}

TEST_F(CopyDialogTest, TurningTheScreenMovesTheControlsToTheOtherTemplateBelowTheStrips) {
    AddContacts({Contact(u"John", u"Smith", u"0170111")});
    Open();
    handset::InputEvent rotate{handset::InputEvent::Kind::rotate_request};
    m_input.deliver(rotate);
    ASSERT_TRUE(m_driver.wait_until(
        [] {
            return handset::Screen::instance().compose().width() >
                   handset::Screen::instance().compose().height();
        },
        kWait));
    ASSERT_TRUE(m_driver.wait_until_idle(kWait));
    RECT title = m_driver.read(GetDlgItem(Dialog(), IDC_TITLE))->rect;
    RECT status = m_driver.read(GetDlgItem(Dialog(), IDC_SIM_STATUS))->rect;
    RECT tree = m_driver.read(m_tree)->rect;
    RECT probe = {0, 0, 320, 15};
    MapDialogRect(Dialog(), &probe);
    RECT client;
    GetClientRect(Dialog(), &client);
    EXPECT_EQ(title.right - title.left, client.right) << "the strips span the turned screen";
    EXPECT_EQ(status.top - title.top, probe.bottom);
    EXPECT_EQ(tree.top, status.bottom);
    EXPECT_EQ(tree.right - tree.left, client.right);
    const handset::Surface screen = handset::Screen::instance().compose();
    handset::write_png(std::filesystem::path(SCREENSHOT_DIR) / "copy_to_sim_landscape.png", screen);
}

// Each opening takes its own connections and gives them all back, the language module included.
TEST_F(CopyDialogTest, OpeningThreeTimesLeavesNothingHeld) {
    AddContacts({Contact(u"John", u"Smith", u"0170111")});
    HostRun run;
    run.openings = 3;
    run.com_before = true;
    Open(run);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(
            m_driver.wait_for_window({u"SysTreeView32", std::nullopt, IDC_CONTACTS}, kWait));
        ASSERT_TRUE(m_driver.wait_until_idle(kWait));
        m_tree = m_driver.wait_for_window({u"SysTreeView32", std::nullopt, IDC_CONTACTS}, kWait);
        EXPECT_EQ(Tree().size(), 1u);
        PostMessageW(Dialog(), WM_COMMAND, i == 0 ? IDOK : IDM_GO_BACK, 0);
        ASSERT_TRUE(m_driver.wait_until([&] { return !IsWindow(m_tree); }, kWait));
    }
    EXPECT_EQ(m_driver.wait_for_exit(kWait), std::optional<int>(0));
    EXPECT_EQ(Lines("Quorrel: -ReleasePOOM()"), 3);
    EXPECT_EQ(Lines("Quorrel: -ReleaseSIM->SimDeinitialize"), 3);
    EXPECT_EQ(Lines("InitPoom->Warning: the COM library is already initialized!"), 3);
    m_tree = nullptr;
}

namespace {

std::vector<std::string> DeviceLog(const std::filesystem::path& folder) {
    std::ifstream file(folder / "debug.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool LogHas(const std::filesystem::path& folder, const std::string& text) {
    std::vector<std::string> lines = DeviceLog(folder);
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(text) != std::string::npos;
    });
}

} // namespace

// Quorrel and Telvane meet only on the card: what one writes reaches the other's tree through the
// card's notifications.
TEST_F(CopyDialogTest, ANumberCopiedHereShowsInARunningTelvane) {
    for (const char* file : {"Telvane.exe.0409.mui", "Telvane.dll"}) {
        std::filesystem::copy_file(std::filesystem::path(TELVANE_PROGRAM).parent_path() / file,
                                   m_device.folder() / file);
    }
    ProgramProcess telvane(
        {TELVANE_PROGRAM, "--device", m_device.folder().string(), "--display", "headless"},
        m_device.folder() / "telvane-output.txt");
    ASSERT_TRUE(m_driver.wait_until(
        [&] { return LogHas(m_device.folder(), "CTRL_MAIN_EnableMenu: Enable Menubar == TRUE"); },
        kWait))
        << telvane.output();
    AddContacts({Contact(u"John", u"Smith", u"0170111")});
    Open();
    Command(IDM_SELECT_ALL);
    Command(IDM_DO_COPY);
    EXPECT_EQ(Box(), u"Successfully copied Contacts to SIM card.");
    EXPECT_TRUE(m_driver.wait_until(
        [&] {
            return LogHas(m_device.folder(),
                          "Telvane <RD_INFO>: SIM_ReadPBEntry: #1, Name:Smith,John");
        },
        kWait));
}
