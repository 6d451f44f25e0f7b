#include "commctrl/tree_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using handset::InsertPlace;
using handset::TreeItem;
using handset::TreeModel;

namespace {

std::vector<std::u16string> children_of(const TreeItem& parent) {
    std::vector<std::u16string> texts;
    for (const TreeItem* child = parent.first_child; child != nullptr; child = child->next) {
        texts.push_back(child->text);
    }
    return texts;
}

TreeItem* add(TreeModel& model, std::u16string text, InsertPlace place = InsertPlace::sorted,
              TreeItem* parent = nullptr) {
    return model.insert(parent != nullptr ? *parent : model.root(), place, nullptr,
                        std::move(text));
}

} // namespace

TEST(TreeModel, SortsCaseInsensitivelyAndKeepsEqualTextsInInsertionOrder) {
    TreeModel model;
    for (const char16_t* text : {u"delta", u"Bravo", u"alpha", u"charlie", u"ALPHA", u"b"}) {
        add(model, text);
    }
    EXPECT_EQ(
        children_of(model.root()),
        (std::vector<std::u16string>{u"alpha", u"ALPHA", u"b", u"Bravo", u"charlie", u"delta"}));
    EXPECT_EQ(model.count(), 6u);
}

TEST(TreeModel, SortedInsertsAfterAnUnsortedAppendWalkTheSiblingsAsTheDeviceDoes) {
    TreeModel model;
    add(model, u"m");
    add(model, u"a", InsertPlace::last); // breaks the order: m, a
    add(model, u"c");                    // before the first sibling that sorts after it: m
    add(model, u"z");                    // no sibling sorts after it: last
    EXPECT_EQ(children_of(model.root()), (std::vector<std::u16string>{u"c", u"m", u"a", u"z"}));
}

TEST(TreeModel, EmptyingAParentMakesItsOrderSortedAgain) {
    TreeModel model;
    add(model, u"m");
    add(model, u"a", InsertPlace::last);
    model.remove_all();
    for (const char16_t* text : {u"y", u"x", u"w"}) {
        add(model, text);
    }
    EXPECT_EQ(children_of(model.root()), (std::vector<std::u16string>{u"w", u"x", u"y"}));
}

TEST(TreeModel, ANewTextThatBreaksTheOrderIsRespectedByLaterSortedInserts) {
    TreeModel model;
    TreeItem* b = add(model, u"b");
    add(model, u"d");
    model.set_text(*b, u"e"); // e, d
    add(model, u"c");         // before e, the first that sorts after c
    EXPECT_EQ(children_of(model.root()), (std::vector<std::u16string>{u"c", u"e", u"d"}));
}

TEST(TreeModel, ChildrenSortUnderTheirOwnParentAndRemovalTakesTheSubtree) {
    TreeModel model;
    TreeItem* parent = add(model, u"parent");
    TreeItem* other = add(model, u"other");
    add(model, u"[W] 2", InsertPlace::sorted, parent);
    add(model, u"[H] 3", InsertPlace::sorted, parent);
    add(model, u"[M] 1", InsertPlace::sorted, parent);
    EXPECT_EQ(children_of(*parent), (std::vector<std::u16string>{u"[H] 3", u"[M] 1", u"[W] 2"}));
    const HTREEITEM child = parent->first_child->handle;
    model.remove(*parent);
    EXPECT_EQ(model.count(), 1u);
    EXPECT_EQ(model.find(child), nullptr);
    EXPECT_EQ(model.root().first_child, other);
}

TEST(TreeModel, RowsFollowExpansionAndStaleRowsAreNotReported) {
    TreeModel model;
    TreeItem* a = add(model, u"a");
    TreeItem* b = add(model, u"b");
    TreeItem* child = add(model, u"a1", InsertPlace::last, a);
    EXPECT_EQ(model.rows().size(), 2u);
    EXPECT_EQ(model.row_of(*child), -1);
    model.set_expanded(*a, true);
    EXPECT_EQ(model.row_of(*child), 1);
    EXPECT_EQ(model.row_of(*b), 2);
    EXPECT_EQ(model.row_after(*child), b);
    model.set_expanded(*a, false);
    EXPECT_EQ(model.row_of(*child), -1);
    EXPECT_EQ(model.row_before(*b), a);
}

TEST(TreeModel, HandlesOfRemovedItemsNeverReachANewItem) {
    TreeModel model;
    const HTREEITEM old = add(model, u"gone")->handle;
    model.remove_all();
    const HTREEITEM fresh = add(model, u"new")->handle;
    EXPECT_NE(old, fresh);
    EXPECT_EQ(model.find(old), nullptr);
    EXPECT_EQ(model.find_or_root(TVI_ROOT), &model.root());
}
