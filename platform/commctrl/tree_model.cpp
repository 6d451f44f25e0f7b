#include "commctrl/tree_model.h"

#include "base/wide_text.h"

namespace handset {

TreeModel::TreeModel() {
    m_root.expanded = true;
}

TreeModel::~TreeModel() {
    remove_all();
}

TreeItem* TreeModel::find_or_root(HTREEITEM handle) {
    if (!handle || handle == TVI_ROOT) {
        return &m_root;
    }
    return find(handle);
}

TreeItem* TreeModel::find(HTREEITEM handle) const {
    if (!handle || handle == TVI_ROOT) {
        return nullptr;
    }
    return m_handles.find(handle.value()).value_or(nullptr);
}

TreeItem* TreeModel::insert(TreeItem& parent, InsertPlace place, TreeItem* after,
                            std::u16string text) {
    auto* item = new TreeItem();
    const uint32_t handle = m_handles.add(item);
    if (handle == 0) {
        delete item;
        return nullptr;
    }
    item->handle = HTREEITEM(handle);
    item->sort_key = fold_text(text);
    item->text = std::move(text);
    if (place == InsertPlace::after && (after == nullptr || after->parent != &parent)) {
        place = InsertPlace::last;
    }
    switch (place) {
    case InsertPlace::first:
        link_before(parent, *item, parent.first_child);
        break;
    case InsertPlace::last:
        link_before(parent, *item, nullptr);
        break;
    case InsertPlace::after:
        link_before(parent, *item, after->next);
        break;
    case InsertPlace::sorted:
        link_before(parent, *item, sorted_successor(parent, item->sort_key));
        break;
    }
    if (parent.children_sorted) {
        if (fits_between_neighbours(*item)) {
            index_in_parent(*item);
        } else {
            drop_index(parent);
        }
    }
    ++m_count;
    m_rows_valid = false;
    return item;
}

void TreeModel::remove(TreeItem& item) {
    if (&item == &m_root) {
        remove_all();
        return;
    }
    unlink(item);
    destroy_subtree(item);
    m_rows_valid = false;
}

void TreeModel::remove_all() {
    while (m_root.first_child != nullptr) {
        TreeItem& first = *m_root.first_child;
        unlink(first);
        destroy_subtree(first);
    }
    m_rows_valid = false;
}

void TreeModel::set_text(TreeItem& item, std::u16string text) {
    TreeItem& parent = *item.parent;
    if (parent.children_sorted) {
        parent.child_index.erase(item.index_entry);
    }
    item.sort_key = fold_text(text);
    item.text = std::move(text);
    if (parent.children_sorted) {
        if (fits_between_neighbours(item)) {
            index_in_parent(item);
        } else {
            drop_index(parent);
        }
    }
}

void TreeModel::set_expanded(TreeItem& item, bool expanded) {
    if (item.expanded != expanded) {
        item.expanded = expanded;
        m_rows_valid = false;
    }
}

int TreeModel::depth(const TreeItem& item) {
    int depth = -1;
    for (const TreeItem* up = item.parent; up != nullptr; up = up->parent) {
        ++depth;
    }
    return depth;
}

bool TreeModel::is_within(const TreeItem* item, const TreeItem& ancestor) {
    for (; item != nullptr; item = item->parent) {
        if (item == &ancestor) {
            return true;
        }
    }
    return false;
}

const std::vector<TreeItem*>& TreeModel::rows() {
    if (!m_rows_valid) {
        ++m_row_stamp;
        m_rows.clear();
        add_rows_under(m_root);
        m_rows_valid = true;
    }
    return m_rows;
}

int TreeModel::row_of(const TreeItem& item) {
    rows();
    return item.row_stamp == m_row_stamp ? item.row : -1;
}

TreeItem* TreeModel::row_after(TreeItem& item) {
    const int row = row_of(item);
    if (row < 0 || static_cast<size_t>(row) + 1 >= m_rows.size()) {
        return nullptr;
    }
    return m_rows[static_cast<size_t>(row) + 1];
}

TreeItem* TreeModel::row_before(TreeItem& item) {
    const int row = row_of(item);
    return row > 0 ? m_rows[static_cast<size_t>(row) - 1] : nullptr;
}

void TreeModel::link_before(TreeItem& parent, TreeItem& item, TreeItem* next) {
    item.parent = &parent;
    item.next = next;
    item.previous = next != nullptr ? next->previous : parent.last_child;
    (item.previous != nullptr ? item.previous->next : parent.first_child) = &item;
    (next != nullptr ? next->previous : parent.last_child) = &item;
}

void TreeModel::unlink(TreeItem& item) {
    TreeItem& parent = *item.parent;
    if (parent.children_sorted) {
        parent.child_index.erase(item.index_entry);
    }
    (item.previous != nullptr ? item.previous->next : parent.first_child) = item.next;
    (item.next != nullptr ? item.next->previous : parent.last_child) = item.previous;
    item.previous = item.next = nullptr;
    if (parent.first_child == nullptr) {
        parent.children_sorted = true;
    }
}

TreeItem* TreeModel::sorted_successor(TreeItem& parent, const std::u16string& key) const {
    if (parent.children_sorted) {
        const auto successor = parent.child_index.upper_bound(key);
        return successor == parent.child_index.end() ? nullptr : successor->second;
    }
    TreeItem* sibling = parent.first_child;
    while (sibling != nullptr && !(key < sibling->sort_key)) {
        sibling = sibling->next;
    }
    return sibling;
}

bool TreeModel::fits_between_neighbours(const TreeItem& item) const {
    return (item.previous == nullptr || !(item.sort_key < item.previous->sort_key)) &&
           (item.next == nullptr || !(item.next->sort_key < item.sort_key));
}

// Placing the entry just before the next sibling's keeps equal texts in list order.
void TreeModel::index_in_parent(TreeItem& item) {
    std::multimap<std::u16string, TreeItem*>& index = item.parent->child_index;
    const auto hint = item.next != nullptr ? item.next->index_entry : index.end();
    item.index_entry = index.emplace_hint(hint, item.sort_key, &item);
}

void TreeModel::drop_index(TreeItem& parent) {
    parent.child_index.clear();
    parent.children_sorted = false;
}

void TreeModel::destroy_subtree(TreeItem& item) {
    while (item.first_child != nullptr) {
        TreeItem& child = *item.first_child;
        item.first_child = child.next;
        destroy_subtree(child);
    }
    m_handles.remove(item.handle.value());
    --m_count;
    delete &item;
}

void TreeModel::add_rows_under(TreeItem& parent) {
    for (TreeItem* child = parent.first_child; child != nullptr; child = child->next) {
        child->row = static_cast<int>(m_rows.size());
        child->row_stamp = m_row_stamp;
        m_rows.push_back(child);
        if (child->expanded) {
            add_rows_under(*child);
        }
    }
}

} // namespace handset
