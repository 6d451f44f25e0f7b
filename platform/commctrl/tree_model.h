// The items of a tree view and their order, apart from any drawing.
//
// Siblings form a doubly linked list in display order. Each parent also keeps an ordered index
// of its children by folded text, so that a sorted insert finds its place in logarithmic time
// instead of walking the siblings. The index is kept only while the siblings really stand in
// sorted order; once an insert at a fixed place (first, last, after an item) or a new text breaks
// that order, the parent drops its index and sorted inserts walk the list as the device does:
// the new item goes before the first sibling whose text sorts after it. Removing every child
// makes the order sorted again.
//
// The items shown (those whose ancestors are all expanded) are numbered as rows; the numbering
// is rebuilt on demand after a change.
#pragma once

#include "base/handle_table.h"

#include <commctrl.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace handset {

struct TreeItem {
    HTREEITEM handle;
    TreeItem* parent = nullptr;
    TreeItem* previous = nullptr;
    TreeItem* next = nullptr;
    TreeItem* first_child = nullptr;
    TreeItem* last_child = nullptr;

    std::u16string text;
    std::u16string sort_key;
    int image = 0;
    int selected_image = 0;
    // The children flag as the program set it; unset means "has children if it has any".
    std::optional<int> children_flag;
    LPARAM data = 0;
    bool expanded = false;

    // As a parent: the sorted index of the children, valid while `children_sorted`.
    std::multimap<std::u16string, TreeItem*> child_index;
    bool children_sorted = true;
    // This item's entry in its parent's index, while the parent keeps one.
    std::multimap<std::u16string, TreeItem*>::iterator index_entry;

    // The row it is shown in, when `row_stamp` matches the model's numbering (TreeModel::row_of).
    int row = 0;
    unsigned row_stamp = 0;

    bool has_button() const { return children_flag ? *children_flag != 0 : first_child != nullptr; }
};

enum class InsertPlace { first, last, sorted, after };

class TreeModel {
  public:
    TreeModel();
    ~TreeModel();
    TreeModel(const TreeModel&) = delete;
    TreeModel& operator=(const TreeModel&) = delete;

    // The hidden item every top-level item hangs from.
    TreeItem& root() { return m_root; }
    // The item a handle names: TVI_ROOT (and 0) name the root; nullptr for anything else unknown.
    TreeItem* find_or_root(HTREEITEM handle);
    // Only real items; nullptr for 0, TVI_ROOT and stale handles.
    TreeItem* find(HTREEITEM handle) const;

    // The new item, or nullptr when the handle table is full. `after` is used with
    // InsertPlace::after and must be a child of `parent` (otherwise the item goes last).
    TreeItem* insert(TreeItem& parent, InsertPlace place, TreeItem* after, std::u16string text);
    // Removes the item and everything under it.
    void remove(TreeItem& item);
    void remove_all();
    void set_text(TreeItem& item, std::u16string text);
    void set_expanded(TreeItem& item, bool expanded);

    size_t count() const { return m_count; }
    // Top-level items are at depth 0.
    static int depth(const TreeItem& item);
    // Whether `item` is `ancestor` or lies under it.
    static bool is_within(const TreeItem* item, const TreeItem& ancestor);

    // The items shown, top to bottom.
    const std::vector<TreeItem*>& rows();
    // The row an item is shown in, or -1 when it is not shown.
    int row_of(const TreeItem& item);
    // An item's neighbours among the rows shown; nullptr at either end or if it is not shown.
    TreeItem* row_after(TreeItem& item);
    TreeItem* row_before(TreeItem& item);

  private:
    void link_before(TreeItem& parent, TreeItem& item, TreeItem* next);
    void unlink(TreeItem& item);
    TreeItem* sorted_successor(TreeItem& parent, const std::u16string& key) const;
    bool fits_between_neighbours(const TreeItem& item) const;
    void index_in_parent(TreeItem& item);
    void drop_index(TreeItem& parent);
    void destroy_subtree(TreeItem& item);
    void add_rows_under(TreeItem& parent);

    TreeItem m_root;
    HandleTable<TreeItem*> m_handles;
    size_t m_count = 0;
    std::vector<TreeItem*> m_rows;
    bool m_rows_valid = true;
    // Numbers each rebuild of the rows, so that an item's old row number is recognised as stale.
    unsigned m_row_stamp = 1;
};

} // namespace handset
