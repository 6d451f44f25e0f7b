#include "control_fixture.h"

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

LPARAM as_param(HTREEITEM item) {
    return static_cast<LPARAM>(item.value());
}

HTREEITEM as_item(LRESULT result) {
    return HTREEITEM(static_cast<uint32_t>(result));
}

class TreeViewTest : public ControlFixture {
  protected:
    void SetUp() override {
        ControlFixture::SetUp();
        m_tree = create(WC_TREEVIEWW,
                        TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                        RECT{0, 20, 240, 220});
        m_images = ImageList_Create(16, 16, ILC_COLOR32, 4, 4);
        SendMessageW(m_tree, TVM_SETIMAGELIST, TVSIL_NORMAL, static_cast<LPARAM>(m_images.value()));
    }
    void TearDown() override {
        ControlFixture::TearDown();
        ImageList_Destroy(m_images);
    }

    HTREEITEM insert(LPCWSTR text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_SORT,
                     LPARAM data = 0, int image = 4) {
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
        insert.item.pszText = const_cast<LPWSTR>(text);
        insert.item.iImage = image;
        insert.item.iSelectedImage = image;
        insert.item.cChildren = parent == TVI_ROOT ? 1 : 0;
        insert.item.lParam = data;
        return as_item(SendMessageW(m_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    HTREEITEM next(UINT relation, HTREEITEM item = HTREEITEM()) {
        return as_item(SendMessageW(m_tree, TVM_GETNEXTITEM, relation, as_param(item)));
    }
    std::u16string text(HTREEITEM item) {
        WCHAR buffer[260] = {};
        TVITEMW record{};
        record.mask = TVIF_HANDLE | TVIF_TEXT;
        record.hItem = item;
        record.pszText = buffer;
        record.cchTextMax = 260;
        return SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record)) ? buffer
                                                                                        : u"?";
    }
    std::vector<std::u16string> top_level() {
        std::vector<std::u16string> texts;
        for (HTREEITEM item = next(TVGN_ROOT); item; item = next(TVGN_NEXT, item)) {
            texts.push_back(text(item));
        }
        return texts;
    }
    RECT label_rect(HTREEITEM item) {
        RECT rect{};
        const uint32_t value = item.value();
        std::memcpy(&rect, &value, sizeof(value));
        EXPECT_TRUE(SendMessageW(m_tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)));
        return rect;
    }
    // The middle of the item's image, just left of its label.
    POINT icon_point(HTREEITEM item) {
        const RECT label = label_rect(item);
        return POINT{label.left - 3 - 8, (label.top + label.bottom) / 2};
    }
    POINT label_point(HTREEITEM item) {
        const RECT label = label_rect(item);
        return POINT{label.left + 4, (label.top + label.bottom) / 2};
    }
    UINT hit_flags(POINT point, HTREEITEM* item = nullptr) {
        TVHITTESTINFO hit{};
        hit.pt = point;
        const HTREEITEM found =
            as_item(SendMessageW(m_tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (item != nullptr) {
            *item = found;
        }
        return hit.flags;
    }

    HWND m_tree;
    HIMAGELIST m_images;
};

} // namespace

TEST_F(TreeViewTest, SortedInsertsStandInTheOrderOfTheirTextIgnoringCase) {
    for (const char16_t* name : {u"Mike", u"alice", u"Zoe", u"bob", u"Alice"}) {
        insert(name);
    }
    EXPECT_EQ(top_level(),
              (std::vector<std::u16string>{u"alice", u"Alice", u"bob", u"Mike", u"Zoe"}));
    EXPECT_EQ(SendMessageW(m_tree, TVM_GETCOUNT, 0, 0), 5);
}

TEST_F(TreeViewTest, NavigatesRootNextPreviousParentChildAndCaret) {
    const HTREEITEM b = insert(u"b");
    const HTREEITEM a = insert(u"a");
    const HTREEITEM number = insert(u"555", b, TVI_LAST, 1001, 10);
    const HTREEITEM mail = insert(u"x@y", b, TVI_LAST, 1003, 13);
    EXPECT_EQ(next(TVGN_ROOT), a);
    EXPECT_EQ(next(TVGN_NEXT, a), b);
    EXPECT_EQ(next(TVGN_NEXT, b), HTREEITEM());
    EXPECT_EQ(next(TVGN_PREVIOUS, b), a);
    EXPECT_EQ(next(TVGN_CHILD, b), number);
    EXPECT_EQ(next(TVGN_NEXT, number), mail);
    EXPECT_EQ(next(TVGN_PARENT, mail), b);
    EXPECT_EQ(next(TVGN_PARENT, a), HTREEITEM());
    EXPECT_EQ(next(TVGN_CARET), HTREEITEM());
    SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, as_param(mail));
    EXPECT_EQ(next(TVGN_CARET), mail);
}

TEST_F(TreeViewTest, ReadsAndWritesTextImagesChildrenFlagAndData) {
    const HTREEITEM item = insert(u"Name", TVI_ROOT, TVI_SORT, 17, 4);
    TVITEMW record{};
    record.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    record.hItem = item;
    ASSERT_TRUE(SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record)));
    EXPECT_EQ(record.iImage, 4);
    EXPECT_EQ(record.iSelectedImage, 4);
    EXPECT_EQ(record.cChildren, 1);
    EXPECT_EQ(record.lParam, 17);

    record.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_CHILDREN;
    record.pszText = const_cast<LPWSTR>(u"Renamed");
    record.iImage = 7;
    record.cChildren = 0;
    ASSERT_TRUE(SendMessageW(m_tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record)));
    EXPECT_EQ(text(item), u"Renamed");

    WCHAR small[4] = {};
    record.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_CHILDREN;
    record.pszText = small;
    record.cchTextMax = 4;
    ASSERT_TRUE(SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record)));
    EXPECT_EQ(std::u16string(small), u"Ren");
    EXPECT_EQ(record.iImage, 7);
    EXPECT_EQ(record.cChildren, 0);
}

// Repainting for a child nobody can see would make a tree filled from a worker repaint twice per
// entry.
TEST_F(TreeViewTest, AChildInsertedUnderACollapsedParentLeavesTheScreenAsItIs) {
    const HTREEITEM parent = insert(u"Anna");
    pump();
    ASSERT_FALSE(GetUpdateRect(m_tree, nullptr, FALSE));
    insert(u"0301", parent, TVI_LAST);
    EXPECT_FALSE(GetUpdateRect(m_tree, nullptr, FALSE));

    SendMessageW(m_tree, TVM_EXPAND, TVE_EXPAND, as_param(parent));
    pump();
    insert(u"0302", parent, TVI_LAST);
    EXPECT_TRUE(GetUpdateRect(m_tree, nullptr, FALSE));
}

TEST_F(TreeViewTest, RefusesStaleAndUnknownItems) {
    const HTREEITEM gone = insert(u"gone");
    SendMessageW(m_tree, TVM_DELETEITEM, 0, as_param(gone));
    TVITEMW record{};
    record.mask = TVIF_HANDLE | TVIF_PARAM;
    record.hItem = gone;
    EXPECT_FALSE(SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record)));
    EXPECT_FALSE(SendMessageW(m_tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record)));
    EXPECT_FALSE(SendMessageW(m_tree, TVM_DELETEITEM, 0, as_param(gone)));
    EXPECT_EQ(insert(u"orphan", gone), HTREEITEM());
}

TEST_F(TreeViewTest, DeletingTheSelectionPassesItToTheNextSiblingAndDeletingAllEmptiesTheTree) {
    const HTREEITEM a = insert(u"a");
    const HTREEITEM b = insert(u"b");
    insert(u"b1", b, TVI_LAST);
    SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, as_param(a));
    SendMessageW(m_tree, TVM_DELETEITEM, 0, as_param(a));
    EXPECT_EQ(next(TVGN_CARET), b);
    EXPECT_EQ(SendMessageW(m_tree, TVM_GETCOUNT, 0, 0), 2);

    EXPECT_TRUE(SendMessageW(m_tree, TVM_DELETEITEM, 0, as_param(TVI_ROOT)));
    EXPECT_EQ(SendMessageW(m_tree, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(next(TVGN_ROOT), HTREEITEM());
    EXPECT_EQ(next(TVGN_CARET), HTREEITEM());
}

TEST_F(TreeViewTest, HitTestTellsTheIconFromTheLabel) {
    const HTREEITEM item = insert(u"Somebody");
    HTREEITEM hit;
    EXPECT_EQ(hit_flags(icon_point(item), &hit), static_cast<UINT>(TVHT_ONITEMICON));
    EXPECT_EQ(hit, item);
    EXPECT_EQ(hit_flags(label_point(item), &hit), static_cast<UINT>(TVHT_ONITEMLABEL));
    EXPECT_EQ(hit, item);
    const RECT label = label_rect(item);
    EXPECT_EQ(hit_flags(POINT{label.right + 5, label.top + 1}),
              static_cast<UINT>(TVHT_ONITEMRIGHT));
    EXPECT_EQ(hit_flags(POINT{5, 190}, &hit), static_cast<UINT>(TVHT_NOWHERE));
    EXPECT_EQ(hit, HTREEITEM());
    EXPECT_EQ(hit_flags(POINT{5, -3}), static_cast<UINT>(TVHT_ABOVE));
}

TEST_F(TreeViewTest, TapSelectsAndTellsTheParentNmClickAtTheTapsPosition) {
    insert(u"first");
    const HTREEITEM second = insert(u"second");
    MessageLog::instance().take();
    tap(m_tree, label_point(second));
    EXPECT_EQ(next(TVGN_CARET), second);
    const std::vector<LoggedMessage> told_parent = told({WM_NOTIFY});
    // The tap gives the tree the focus before it counts as a click.
    ASSERT_TRUE(sequence_matches(told_parent, {notification(NM_SETFOCUS), notification(NM_CLICK)}));
    POINT screen = label_point(second);
    ClientToScreen(m_tree, &screen);
    EXPECT_EQ(GET_X_LPARAM(told_parent[1].position), screen.x);
    EXPECT_EQ(GET_Y_LPARAM(told_parent[1].position), screen.y);
    EXPECT_EQ(GetFocus(), m_tree);
}

TEST_F(TreeViewTest, TapAndHoldSendsTheParentWmContextMenuInsteadOfAClick) {
    const HTREEITEM item = insert(u"held");
    MessageLog::instance().take();
    hold(m_tree, label_point(item));
    POINT screen = label_point(item);
    ClientToScreen(m_tree, &screen);
    EXPECT_TRUE(sequence_matches(
        told({WM_NOTIFY, WM_CONTEXTMENU}),
        {notification(NM_SETFOCUS), to_parent(WM_CONTEXTMENU, static_cast<WPARAM>(m_tree.value()),
                                              MAKELPARAM(screen.x, screen.y))}));
}

TEST_F(TreeViewTest, TapOnAButtonExpandsAndCollapses) {
    const HTREEITEM parent_item = insert(u"parent");
    const HTREEITEM child = insert(u"child", parent_item, TVI_LAST);
    const RECT label = label_rect(parent_item);
    const POINT button{label.left - 3 - 16 - 8, (label.top + label.bottom) / 2};
    EXPECT_EQ(hit_flags(button), static_cast<UINT>(TVHT_ONITEMBUTTON));
    tap(m_tree, button);
    EXPECT_EQ(next(TVGN_NEXTVISIBLE, parent_item), child);
    tap(m_tree, button);
    EXPECT_EQ(next(TVGN_NEXTVISIBLE, parent_item), HTREEITEM());
}

TEST_F(TreeViewTest, KeysMoveTheSelectionAndExpandOrCollapse) {
    const HTREEITEM a = insert(u"a");
    const HTREEITEM a1 = insert(u"a1", a, TVI_LAST);
    const HTREEITEM b = insert(u"b");
    SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, as_param(a));
    press_key(m_tree, VK_DOWN);
    EXPECT_EQ(next(TVGN_CARET), b);
    press_key(m_tree, VK_UP);
    EXPECT_EQ(next(TVGN_CARET), a);
    press_key(m_tree, VK_RIGHT);
    EXPECT_EQ(next(TVGN_NEXTVISIBLE, a), a1);
    press_key(m_tree, VK_RIGHT);
    EXPECT_EQ(next(TVGN_CARET), a1);
    press_key(m_tree, VK_LEFT);
    EXPECT_EQ(next(TVGN_CARET), a);
    press_key(m_tree, VK_LEFT);
    EXPECT_EQ(next(TVGN_NEXTVISIBLE, a), b);
    MessageLog::instance().take();
    press_key(m_tree, VK_RETURN);
    EXPECT_TRUE(sequence_matches(told({WM_NOTIFY}), {notification(NM_RETURN)}));
}

TEST_F(TreeViewTest, CollapsingMovesAHiddenSelectionToTheCollapsedItem) {
    const HTREEITEM a = insert(u"a");
    const HTREEITEM a1 = insert(u"a1", a, TVI_LAST);
    SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, as_param(a1));
    EXPECT_EQ(next(TVGN_NEXTVISIBLE, a), a1);
    EXPECT_TRUE(SendMessageW(m_tree, TVM_EXPAND, TVE_COLLAPSE, as_param(a)));
    EXPECT_EQ(next(TVGN_CARET), a);
}

TEST_F(TreeViewTest, ScrollsWhenItemsOutgrowTheViewAndKeepsTheSelectionInSight) {
    std::vector<HTREEITEM> items;
    for (int i = 0; i < 40; ++i) {
        const std::u16string name = u"item " + std::u16string(1, static_cast<char16_t>(u'A' + i));
        items.push_back(insert(name.c_str(), TVI_ROOT, TVI_LAST));
    }
    const int fitting = static_cast<int>(SendMessageW(m_tree, TVM_GETVISIBLECOUNT, 0, 0));
    ASSERT_LT(fitting, 40);
    EXPECT_EQ(next(TVGN_FIRSTVISIBLE), items[0]);
    SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, as_param(items[39]));
    EXPECT_EQ(next(TVGN_FIRSTVISIBLE), items[40 - fitting]);
    SendMessageW(m_tree, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(next(TVGN_FIRSTVISIBLE), items[0]);
    SendMessageW(m_tree, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(next(TVGN_FIRSTVISIBLE), items[static_cast<size_t>(fitting)]);

    // A tap on the bar's lower arrow scrolls by a row and is no click on an item.
    RECT client{};
    GetClientRect(m_tree, &client);
    MessageLog::instance().take();
    tap(m_tree, POINT{client.right - 2, client.bottom - 2});
    EXPECT_EQ(next(TVGN_FIRSTVISIBLE), items[static_cast<size_t>(fitting) + 1]);
    EXPECT_TRUE(sequence_matches(told({WM_NOTIFY}), {notification(NM_SETFOCUS)}));
}

TEST_F(TreeViewTest, DrawsTheSelectionHighlightBehindTheLabel) {
    const HTREEITEM item = insert(u"WWWWWW");
    const RECT label = label_rect(item);
    POINT inside{label.right - 2, label.top + 1};
    ClientToScreen(m_tree, &inside);
    EXPECT_EQ(pixel(inside), GetSysColor(COLOR_WINDOW));
    SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, as_param(item));
    EXPECT_EQ(pixel(inside), GetSysColor(COLOR_HIGHLIGHT));
}

// The device frees a control's data with the windows of a thread that ends without destroying
// them. Without that, the address sanitizer's leak check finds the tree and its items here.
TEST(ControlsOfAnEndedThread, GoWithTheirWindows) {
    HWND tree;
    std::thread([&] {
        tree = CreateWindowExW(0, WC_TREEVIEWW, u"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                               nullptr, nullptr, nullptr);
        TVINSERTSTRUCTW insert = {};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<LPWSTR>(u"left open");
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    }).join();
    ASSERT_TRUE(tree);
    EXPECT_FALSE(IsWindow(tree));
}
