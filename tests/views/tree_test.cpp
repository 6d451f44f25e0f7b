#include "telvane_ids.h"
#include "test_device.h"
#include "views/tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A window with a tree control in it, as the views have.
class TreeHost {
  public:
    TreeHost() {
        InitCommonControls();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = u"TreeHost";
        RegisterClassW(&wc);
        m_host = CreateWindowExW(0, u"TreeHost", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 300,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        CreateWindowExW(0, WC_TREEVIEWW, u"", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, 0, 0, 240,
                        300, m_host, HMENU(IDC_SIM_TREE), GetModuleHandleW(nullptr), nullptr);
        m_tree = TREE_Init(m_host, IDC_SIM_TREE);
    }
    ~TreeHost() { DestroyWindow(m_host); }

    HWND tree() const { return m_tree; }

  private:
    HWND m_host = nullptr;
    HWND m_tree = nullptr;
};

HTREEITEM AddEntry(HWND tree, const char16_t* name, int index, const char16_t* number) {
    HTREEITEM entry = TREE_InsertItem(tree, nullptr, 1, IMG_UNCHECKED, name, index, 0);
    TREE_InsertItem(tree, entry, 0, IMG_TEL, number, FIELD_TEL, 1);
    return entry;
}

HTREEITEM AddContact(HWND tree, const char16_t* name, int index,
                     std::vector<std::pair<int, const char16_t*>> numbers) {
    HTREEITEM contact = TREE_InsertItem(tree, nullptr, 1, IMG_UNCHECKED, name, index, 0);
    for (const auto& [field, text] : numbers) {
        TREE_InsertItem(tree, contact, 0, IMG_UNCHECKED, text, field, 0);
    }
    if (!TREEITEM_HasChild(tree, contact)) {
        TREEITEM_SetChilds(tree, contact, 0);
        TREEITEM_SetImgIndex(tree, contact, IMG_NOCHECK);
    }
    return contact;
}

std::vector<int> ChildImages(HWND tree, HTREEITEM item) {
    std::vector<int> images;
    for (HTREEITEM child = HTREEITEM(static_cast<DWORD>(SendMessageW(
             tree, TVM_GETNEXTITEM, TVGN_CHILD, static_cast<LPARAM>(static_cast<DWORD>(item)))));
         child;
         child = HTREEITEM(static_cast<DWORD>(SendMessageW(
             tree, TVM_GETNEXTITEM, TVGN_NEXT, static_cast<LPARAM>(static_cast<DWORD>(child)))))) {
        images.push_back(TREEITEM_GetImgIndex(tree, child));
    }
    return images;
}

} // namespace

TEST(TreeItems, EntriesAreKeptInNameOrderWithTheirFields) {
    TestDevice device;
    TreeHost host;
    AddEntry(host.tree(), u"Carla", 3, u"333");
    HTREEITEM anna = AddEntry(host.tree(), u"Anna", 9, u"999");
    AddEntry(host.tree(), u"bert", 1, u"111");

    int indices[3] = {};
    TREE_CHECKBOX_SetAll(host.tree(), IMG_CHECKED);
    EXPECT_EQ(TREE_SIM_GetCheckedMemIndex(host.tree(), indices, 3), 3);
    EXPECT_EQ(indices[0], 9);
    EXPECT_EQ(indices[1], 1);
    EXPECT_EQ(indices[2], 3);
    EXPECT_EQ(TREE_FindItemByMemIndex(host.tree(), 9), anna);
    EXPECT_EQ(std::u16string(TREEITEM_GetSIMCardFiled(host.tree(), anna, -1)), u"Anna");
    EXPECT_EQ(std::u16string(TREEITEM_GetSIMCardFiled(host.tree(), anna, FIELD_TEL)), u"999");
    EXPECT_TRUE(device.has_line("TREEITEM_GetSIMCardFiled: Tel == 999"));
    EXPECT_EQ(TREE_GetParentCount(host.tree()), 3);
}

TEST(TreeItems, TheNicknameIsNeverThere) {
    TestDevice device;
    TreeHost host;
    HTREEITEM anna = AddEntry(host.tree(), u"Anna", 9, u"999");
    EXPECT_EQ(std::u16string(TREEITEM_GetSIMCardFiled(host.tree(), anna, FIELD_NICKNAME)), u"");
    EXPECT_TRUE(device.has_line("TREEITEM_GetSIMCardFiled: No match"));
}

TEST(TreeItems, WritingAFieldWithoutTextRemovesItAndAMissingFieldIsReported) {
    TestDevice device;
    TreeHost host;
    HTREEITEM anna = AddEntry(host.tree(), u"Anna", 9, u"999");
    EXPECT_EQ(TREEITEM_SetSIMCardFiled(host.tree(), anna, FIELD_TEL, u"111"), 1);
    EXPECT_EQ(std::u16string(TREEITEM_GetSIMCardFiled(host.tree(), anna, FIELD_TEL)), u"111");
    EXPECT_EQ(TREEITEM_SetSIMCardFiled(host.tree(), anna, FIELD_EMAIL, u"a@b"), 0);
    EXPECT_TRUE(device.has_line("TREEITEM_SetSIMCardFiled: No match"));
    EXPECT_EQ(TREEITEM_SetSIMCardFiled(host.tree(), anna, FIELD_TEL, nullptr), 1);
    EXPECT_EQ(TREEITEM_HasChild(host.tree(), anna), 0);
}

TEST(TreeItems, AnIndexOutOfRangeIsTracedAndStillReturned) {
    TestDevice device;
    TreeHost host;
    HTREEITEM odd = AddEntry(host.tree(), u"Odd", 1001, u"1");
    EXPECT_EQ(TREEITEM_SIM_GetMemIndex(host.tree(), odd), 1001);
    EXPECT_TRUE(device.has_line("Telvane <RD_Error>: TREEITEM_SIM_GetMemIndex: Out of Range"));

    HTREEITEM contact = AddContact(host.tree(), u"Lee,Ann", 5001, {});
    EXPECT_EQ(TREEITEM_CONTACT_GetMemIndex(host.tree(), contact), 5001);
    EXPECT_TRUE(device.has_line("TREEITEM_CONTACT_GetMemIndex: Out of Range"));
    EXPECT_EQ(TREEITEM_CONTACT_GetMemIndex(host.tree(), HTREEITEM(0x7777u)), 0);
    EXPECT_TRUE(device.has_line("TREEITEM_CONTACT_GetMemIndex: Get Item Fail"));
}

TEST(SIMCheckBoxes, OnlyEntriesToggleAndTheirFieldsKeepTheirIcons) {
    TestDevice device;
    TreeHost host;
    HTREEITEM anna = AddEntry(host.tree(), u"Anna", 9, u"999");
    TREE_InsertItem(host.tree(), anna, 0, IMG_EMAIL, u"a@b", FIELD_EMAIL, 1);

    TREE_CHECKBOX_Toggle(host.tree(), anna);
    TREE_CHECKBOX_SetChilds(host.tree(), anna);
    EXPECT_EQ(TREEITEM_GetImgIndex(host.tree(), anna), IMG_CHECKED);
    EXPECT_EQ(ChildImages(host.tree(), anna), (std::vector<int>{IMG_TEL, IMG_EMAIL}));
    EXPECT_EQ(TREE_CHECKBOX_CountImgIndex(host.tree(), IMG_CHECKED, 0), 1);
    EXPECT_EQ(TREE_CHECKBOX_CountImgIndex(host.tree(), IMG_CHECKED, 1), 0);
    TREE_CHECKBOX_Toggle(host.tree(), anna);
    EXPECT_EQ(TREEITEM_GetImgIndex(host.tree(), anna), IMG_UNCHECKED);
}

TEST(ContactCheckBoxes, NumbersDecideTheContactsState) {
    TestDevice device;
    TreeHost host;
    HTREEITEM lee = AddContact(host.tree(), u"Lee,Ann", 1,
                               {{FIELD_MOBILE, u"[M] 0170"}, {FIELD_HOME, u"[H] 030"}});
    HTREEITEM mobile = TREEITEM_CONTACT_QueryItem(host.tree(), lee, FIELD_MOBILE);
    HTREEITEM home = TREEITEM_CONTACT_QueryItem(host.tree(), lee, FIELD_HOME);
    ASSERT_TRUE(mobile && home);

    TREE_CHECKBOX_Toggle(host.tree(), mobile);
    TREE_CHECKBOX_UpdateParent(host.tree(), mobile);
    EXPECT_EQ(TREEITEM_GetImgIndex(host.tree(), lee), IMG_MIXED);

    TREE_CHECKBOX_Toggle(host.tree(), home);
    TREE_CHECKBOX_UpdateParent(host.tree(), home);
    EXPECT_EQ(TREEITEM_GetImgIndex(host.tree(), lee), IMG_CHECKED);

    TREE_CHECKBOX_Toggle(host.tree(), home);
    TREE_CHECKBOX_UpdateParent(host.tree(), home);
    EXPECT_EQ(TREEITEM_GetImgIndex(host.tree(), lee), IMG_MIXED);

    // A mixed contact, tapped, unchecks itself and every number.
    TREE_CHECKBOX_Toggle(host.tree(), lee);
    TREE_CHECKBOX_SetChilds(host.tree(), lee);
    EXPECT_EQ(TREEITEM_GetImgIndex(host.tree(), lee), IMG_UNCHECKED);
    EXPECT_EQ(ChildImages(host.tree(), lee), (std::vector<int>{IMG_UNCHECKED, IMG_UNCHECKED}));
}

TEST(ContactCheckBoxes, SelectAllLeavesContactsWithoutNumbersAlone) {
    TestDevice device;
    TreeHost host;
    HTREEITEM none = AddContact(host.tree(), u"Adams", 1, {});
    HTREEITEM lee = AddContact(host.tree(), u"Lee,Ann", 2, {{FIELD_WORK, u"[W] 0301"}});

    TREE_CHECKBOX_SetAll(host.tree(), IMG_CHECKED);
    EXPECT_EQ(TREEITEM_GetImgIndex(host.tree(), none), IMG_NOCHECK);
    EXPECT_EQ(TREEITEM_GetImgIndex(host.tree(), lee), IMG_CHECKED);
    EXPECT_EQ(TREE_CHECKBOX_CountImgIndex(host.tree(), IMG_CHECKED, 1), 1);
    EXPECT_EQ(TREE_CHECKBOX_CountImgIndex(host.tree(), IMG_NOCHECK, 0), 1);

    // A contact without numbers never toggles.
    TREE_CHECKBOX_Toggle(host.tree(), none);
    EXPECT_EQ(TREEITEM_GetImgIndex(host.tree(), none), IMG_NOCHECK);
}

TEST(ContactFields, TheNumberIsTheTextAfterItsLabel) {
    TestDevice device;
    TreeHost host;
    HTREEITEM lee = AddContact(
        host.tree(), u"Lee,Ann", 2,
        {{FIELD_MOBILE, u"[M] 0123"}, {FIELD_HOME, u"Home 0456"}, {FIELD_WORK, u"0789"}});
    EXPECT_EQ(std::u16string(TREEITEM_CONTACT_GetFiled(host.tree(), lee, FIELD_MOBILE)), u"0123");
    EXPECT_TRUE(device.has_line("TREEITEM_CONTACT_GetFiled: Mobile == 0123"));
    EXPECT_EQ(std::u16string(TREEITEM_CONTACT_GetFiled(host.tree(), lee, FIELD_HOME)), u"0456");
    EXPECT_EQ(std::u16string(TREEITEM_CONTACT_GetFiled(host.tree(), lee, FIELD_WORK)), u"0789");
    EXPECT_EQ(std::u16string(TREEITEM_CONTACT_GetFiled(host.tree(), lee, -1)), u"Lee,Ann");

    HTREEITEM adams = AddContact(host.tree(), u"Adams", 1, {});
    EXPECT_EQ(TREEITEM_CONTACT_GetFiled(host.tree(), adams, FIELD_MOBILE), nullptr);
}

TEST(Collectors, TakeFullAndMixedContactsAndStopAtTheArraysEnd) {
    TestDevice device;
    TreeHost host;
    for (int i = 1; i <= 5; ++i) {
        std::u16string name = u"Contact " + std::u16string(1, char16_t(u'0' + i));
        AddContact(host.tree(), name.c_str(), i, {{FIELD_MOBILE, u"[M] 1"}});
    }
    TREE_CHECKBOX_SetAll(host.tree(), IMG_CHECKED);
    HTREEITEM first = TREE_FindItemByMemIndex(host.tree(), 1);
    TREEITEM_SetImgIndex(host.tree(), first, IMG_MIXED);

    int indices[4] = {-1, -1, -1, -1};
    EXPECT_EQ(TREE_CONTACT_GetCheckedMemIndex(host.tree(), indices, 3), 3);
    EXPECT_EQ(indices[0], 1);
    EXPECT_EQ(indices[2], 3);
    EXPECT_EQ(indices[3], -1);
    EXPECT_EQ(TREE_SIM_GetCheckedMemIndex(host.tree(), indices, 4), 4);
    EXPECT_EQ(indices[0], 2);
}

TEST(Collectors, AnEmptyTreeCountsNothingAndTracesNothing) {
    TestDevice device;
    TreeHost host;
    int indices[2] = {};
    EXPECT_EQ(TREE_SIM_GetCheckedMemIndex(host.tree(), indices, 2), 0);
    EXPECT_EQ(TREE_CHECKBOX_CountImgIndex(host.tree(), IMG_CHECKED, 0), 0);
    EXPECT_EQ(TREE_GetParentCount(host.tree()), 0);
    TREE_CHECKBOX_SetAll(host.tree(), IMG_CHECKED);
    EXPECT_FALSE(device.has_line("Checked Number"));
    EXPECT_FALSE(device.has_line("CountImgIndex"));
    EXPECT_FALSE(TREE_GetSelectItem(host.tree()));
    EXPECT_TRUE(device.has_line("Telvane <RD_Error>: TREE_GetSelectItem: hSelect == NULL"));
}
