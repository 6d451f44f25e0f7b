#include "commctrl/control_support.h"
#include "control_fixture.h"

#include <string>

namespace {

class ListViewTest : public ControlFixture {
  protected:
    void SetUp() override {
        ControlFixture::SetUp();
        m_list =
            create(WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER, RECT{0, 40, 240, 240});
        SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     LVS_EX_FULLROWSELECT | LVS_EX_NOHSCROLL);
    }
    int add_column(int index, LPCWSTR title, int width) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = LVCFMT_LEFT;
        column.cx = width;
        column.pszText = const_cast<LPWSTR>(title);
        return static_cast<int>(
            SendMessageW(m_list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
    }
    int add_row(int index, LPCWSTR name, LPCWSTR number) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = index;
        item.pszText = const_cast<LPWSTR>(name);
        item.lParam = index;
        const int row = static_cast<int>(
            SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        LVITEMW cell{};
        cell.iSubItem = 1;
        cell.pszText = const_cast<LPWSTR>(number);
        SendMessageW(m_list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
        return row;
    }
    std::u16string cell(int row, int column, int size = 260) {
        WCHAR buffer[260] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = size;
        const auto count = static_cast<size_t>(
            SendMessageW(m_list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        return std::u16string(buffer, count);
    }
    int selected() {
        return static_cast<int>(
            SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }

    HWND m_list;
};

} // namespace

TEST_F(ListViewTest, KeepsTheExtendedStyleItWasGiven) {
    EXPECT_EQ(SendMessageW(m_list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
              LVS_EX_FULLROWSELECT | LVS_EX_NOHSCROLL);
}

TEST_F(ListViewTest, HoldsColumnsAndRowsOfCellsInInsertionOrder) {
    EXPECT_EQ(add_column(0, u"Name", 120), 0);
    EXPECT_EQ(add_column(1, u"Phone Number", 120), 1);
    EXPECT_EQ(SendMessageW(m_list, LVM_GETCOLUMNWIDTH, 1, 0), 120);
    EXPECT_EQ(add_row(0, u"Alice", u"555 1234"), 0);
    EXPECT_EQ(add_row(1, u"Bob", u"+44 20"), 1);
    EXPECT_EQ(add_row(0, u"Aaron", u"1"), 0);
    EXPECT_EQ(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(cell(0, 0), u"Aaron");
    EXPECT_EQ(cell(1, 0), u"Alice");
    EXPECT_EQ(cell(1, 1), u"555 1234");
    EXPECT_EQ(cell(2, 1), u"+44 20");
    EXPECT_EQ(cell(2, 1, 3), u"+4");
    EXPECT_EQ(cell(7, 0), u"");
}

TEST_F(ListViewTest, ATapSelectsTheRowUnderItAndTellsTheParent) {
    add_column(0, u"Name", 120);
    add_column(1, u"Phone Number", 120);
    add_row(0, u"Alice", u"1");
    add_row(1, u"Bob", u"2");
    EXPECT_EQ(selected(), -1);
    // The header and each row are one line of the font high, with 2 pixels above and below.
    const int row = handset::MeasuringDc(HFONT(GetStockObject(SYSTEM_FONT))).line_height() + 4;
    RECT client{};
    GetClientRect(m_list, &client);
    MessageLog::instance().take();
    tap(m_list, POINT{150, client.bottom - 5});
    EXPECT_EQ(selected(), -1);
    tap(m_list, POINT{150, 2 * row + row / 2});
    EXPECT_EQ(selected(), 1);
    tap(m_list, POINT{10, row + row / 2});
    EXPECT_EQ(selected(), 0);
    EXPECT_TRUE(sequence_matches(told({WM_NOTIFY}), {notification(NM_CLICK), notification(NM_CLICK),
                                                     notification(NM_CLICK)}));
}

TEST_F(ListViewTest, FullRowSelectionHighlightsEveryCellOfTheSelectedRow) {
    add_column(0, u"Name", 120);
    add_column(1, u"Phone Number", 120);
    add_row(0, u"Alice", u"1");
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageW(m_list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(selected(), 0);
    RECT client{};
    GetClientRect(m_list, &client);
    POINT second_cell{230, 0};
    // The first row starts below the header; probe its lower part, away from any text.
    for (int y = 0; y < client.bottom; ++y) {
        second_cell.y = y;
        POINT screen = second_cell;
        ClientToScreen(m_list, &screen);
        if (pixel(screen) == GetSysColor(COLOR_HIGHLIGHT)) {
            SUCCEED();
            return;
        }
    }
    ADD_FAILURE() << "no highlighted pixel in the second column";
}

TEST_F(ListViewTest, ScrollsRowsThatOutgrowTheView) {
    add_column(0, u"Name", 200);
    for (int i = 0; i < 50; ++i) {
        add_row(i, u"row", u"");
    }
    const LONG style = GetWindowLongW(m_list, GWL_STYLE);
    EXPECT_TRUE((style & WS_VSCROLL) == 0);
    SendMessageW(m_list, LVM_ENSUREVISIBLE, 49, FALSE);
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageW(m_list, LVM_SETITEMSTATE, 49, reinterpret_cast<LPARAM>(&state));
    press_key(m_list, VK_DOWN);
    EXPECT_EQ(selected(), 49);
    press_key(m_list, VK_UP);
    EXPECT_EQ(selected(), 48);
}
