#include "commctrl/tree_view.h"

#include "commctrl/control_support.h"
#include "commctrl/image_list_table.h"
#include "user/hold_gesture.h"

#include <algorithm>
#include <cstring>

namespace handset {

namespace {

// The text callback marker of TVITEM.pszText; the tree keeps no callbacks, so it reads as empty.
const LPWSTR text_callback = reinterpret_cast<LPWSTR>(static_cast<intptr_t>(-1));

std::u16string text_of(LPCWSTR text) {
    return text == nullptr || text == text_callback ? std::u16string() : std::u16string(text);
}

POINT point_of(LPARAM lparam) {
    return POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
}

HTREEITEM item_of(LPARAM lparam) {
    return HTREEITEM(static_cast<uint32_t>(lparam));
}

LRESULT result_of(HTREEITEM item) {
    return static_cast<LRESULT>(item.value());
}

void fill(HDC dc, int left, int top, int right, int bottom, int color) {
    const RECT area{left, top, right, bottom};
    FillRect(dc, &area, GetSysColorBrush(color));
}

} // namespace

TreeView::TreeView(HWND window, const CREATESTRUCTW&) : Control(window) {}

LRESULT TreeView::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (handle_font(message, wparam, lparam, result)) {
        return result;
    }
    switch (message) {
    case TVM_INSERTITEMW:
        return insert_item(reinterpret_cast<const TVINSERTSTRUCTW*>(lparam));
    case TVM_DELETEITEM:
        return delete_item(item_of(lparam));
    case TVM_GETITEMW:
        return get_item(reinterpret_cast<TVITEMW*>(lparam));
    case TVM_SETITEMW:
        return set_item(reinterpret_cast<const TVITEMW*>(lparam));
    case TVM_GETNEXTITEM:
        return result_of(next_item(static_cast<UINT>(wparam), item_of(lparam)));
    case TVM_SELECTITEM:
        return select_item(static_cast<UINT>(wparam), item_of(lparam));
    case TVM_EXPAND:
        return expand_item(static_cast<UINT>(wparam), item_of(lparam));
    case TVM_GETCOUNT:
        return static_cast<LRESULT>(m_model.count());
    case TVM_GETVISIBLECOUNT:
        update_rows();
        return m_scroller.fitting();
    case TVM_SETIMAGELIST:
        return set_image_list(wparam, lparam);
    case TVM_GETIMAGELIST:
        return wparam == TVSIL_NORMAL ? static_cast<LRESULT>(m_images.value()) : 0;
    case TVM_HITTEST:
        return result_of(hit_test(reinterpret_cast<TVHITTESTINFO*>(lparam)));
    case TVM_GETITEMRECT:
        return item_rect(static_cast<BOOL>(wparam), reinterpret_cast<RECT*>(lparam));
    case TVM_ENSUREVISIBLE:
        if (TreeItem* item = m_model.find(item_of(lparam))) {
            ensure_visible(*item);
            return TRUE;
        }
        return FALSE;
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
    case WM_STYLECHANGED:
    case WM_ENABLE:
        invalidate();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_focused = message == WM_SETFOCUS;
        invalidate();
        notify_parent(window(), m_focused ? NM_SETFOCUS : NM_KILLFOCUS);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
        key_down(static_cast<UINT>(wparam));
        return 0;
    case WM_VSCROLL:
        update_rows();
        if (m_scroller.scroll(LOWORD(wparam), HIWORD(wparam))) {
            invalidate();
        }
        return 0;
    case WM_LBUTTONDOWN:
        stylus_down(point_of(lparam));
        return 0;
    case WM_MOUSEMOVE:
        stylus_move(point_of(lparam));
        return 0;
    case WM_LBUTTONUP:
        stylus_up(point_of(lparam));
        return 0;
    case WM_CONTEXTMENU:
        context_request(wparam, lparam);
        return 0;
    case WM_CAPTURECHANGED:
        m_tap_pending = false;
        return 0;
    default:
        return default_handling(message, wparam, lparam);
    }
}

LRESULT TreeView::insert_item(const TVINSERTSTRUCTW* insert) {
    if (insert == nullptr) {
        return 0;
    }
    TreeItem* parent = m_model.find_or_root(insert->hParent);
    if (parent == nullptr) {
        return 0;
    }
    InsertPlace place = InsertPlace::after;
    TreeItem* after = nullptr;
    const HTREEITEM where = insert->hInsertAfter;
    if (where == TVI_FIRST) {
        place = InsertPlace::first;
    } else if (where == TVI_SORT) {
        place = InsertPlace::sorted;
    } else if (where == TVI_LAST || where == TVI_ROOT || !where) {
        place = InsertPlace::last;
    } else if ((after = m_model.find(where)) == nullptr) {
        return 0;
    }
    const TVITEMW& fields = insert->item;
    std::u16string text = (fields.mask & TVIF_TEXT) != 0 ? text_of(fields.pszText) : u"";
    const bool parent_had_button = parent->has_button();
    TreeItem* item = m_model.insert(*parent, place, after, std::move(text));
    if (item == nullptr) {
        return 0;
    }
    TVITEMW rest = fields;
    rest.mask &= ~static_cast<UINT>(TVIF_TEXT);
    apply_fields(*item, rest);
    // A child of a collapsed parent that already shows its button changes nothing on screen;
    // a program filling a tree from a worker would otherwise have it repainted for every child.
    const bool hidden = parent != &m_model.root() && !parent->expanded && parent_had_button;
    if (!hidden) {
        invalidate();
    }
    return result_of(item->handle);
}

// A deleted selection passes to the next sibling, else the parent, else the previous sibling.
BOOL TreeView::delete_item(HTREEITEM handle) {
    if (!handle || handle == TVI_ROOT) {
        m_model.remove_all();
        m_selected = nullptr;
        update_rows();
        invalidate();
        return TRUE;
    }
    TreeItem* item = m_model.find(handle);
    if (item == nullptr) {
        return FALSE;
    }
    const bool loses_selection = TreeModel::is_within(m_selected, *item);
    TreeItem* heir = item->next != nullptr             ? item->next
                     : item->parent != &m_model.root() ? item->parent
                                                       : item->previous;
    m_model.remove(*item);
    if (loses_selection) {
        m_selected = nullptr;
        select(heir);
    }
    invalidate();
    return TRUE;
}

BOOL TreeView::get_item(TVITEMW* item) {
    TreeItem* found = item != nullptr ? m_model.find(item->hItem) : nullptr;
    if (found == nullptr) {
        return FALSE;
    }
    if ((item->mask & TVIF_TEXT) != 0 && item->pszText != nullptr && item->cchTextMax > 0) {
        const size_t count =
            std::min(found->text.size(), static_cast<size_t>(item->cchTextMax) - 1);
        std::copy_n(found->text.data(), count, item->pszText);
        item->pszText[count] = u'\0';
    }
    if ((item->mask & TVIF_IMAGE) != 0) {
        item->iImage = found->image;
    }
    if ((item->mask & TVIF_SELECTEDIMAGE) != 0) {
        item->iSelectedImage = found->selected_image;
    }
    if ((item->mask & TVIF_CHILDREN) != 0) {
        item->cChildren = found->children_flag.value_or(found->first_child != nullptr ? 1 : 0);
    }
    if ((item->mask & TVIF_PARAM) != 0) {
        item->lParam = found->data;
    }
    if ((item->mask & TVIF_STATE) != 0) {
        const UINT state =
            (found == m_selected ? TVIS_SELECTED : 0) | (found->expanded ? TVIS_EXPANDED : 0);
        item->state = state & item->stateMask;
    }
    return TRUE;
}

BOOL TreeView::set_item(const TVITEMW* item) {
    TreeItem* found = item != nullptr ? m_model.find(item->hItem) : nullptr;
    if (found == nullptr) {
        return FALSE;
    }
    apply_fields(*found, *item);
    invalidate();
    return TRUE;
}

void TreeView::apply_fields(TreeItem& found, const TVITEMW& item) {
    if ((item.mask & TVIF_TEXT) != 0) {
        m_model.set_text(found, text_of(item.pszText));
    }
    if ((item.mask & TVIF_IMAGE) != 0) {
        found.image = item.iImage;
    }
    if ((item.mask & TVIF_SELECTEDIMAGE) != 0) {
        found.selected_image = item.iSelectedImage;
    }
    if ((item.mask & TVIF_CHILDREN) != 0) {
        found.children_flag = item.cChildren;
    }
    if ((item.mask & TVIF_PARAM) != 0) {
        found.data = item.lParam;
    }
    if ((item.mask & TVIF_STATE) != 0 && (item.stateMask & TVIS_EXPANDED) != 0) {
        m_model.set_expanded(found, (item.state & TVIS_EXPANDED) != 0);
    }
}

HTREEITEM TreeView::next_item(UINT relation, HTREEITEM handle) {
    TreeItem* item = m_model.find(handle);
    TreeItem* found = nullptr;
    switch (relation) {
    case TVGN_ROOT:
        found = m_model.root().first_child;
        break;
    case TVGN_CARET:
        found = m_selected;
        break;
    case TVGN_FIRSTVISIBLE: {
        const std::vector<TreeItem*>& rows = m_model.rows();
        update_rows();
        found = rows.empty() ? nullptr : rows[static_cast<size_t>(m_scroller.top())];
        break;
    }
    case TVGN_CHILD:
        if (TreeItem* parent = m_model.find_or_root(handle)) {
            found = parent->first_child;
        }
        break;
    case TVGN_NEXT:
        found = item != nullptr ? item->next : nullptr;
        break;
    case TVGN_PREVIOUS:
        found = item != nullptr ? item->previous : nullptr;
        break;
    case TVGN_PARENT:
        found = item != nullptr && item->parent != &m_model.root() ? item->parent : nullptr;
        break;
    case TVGN_NEXTVISIBLE:
        found = item != nullptr ? m_model.row_after(*item) : nullptr;
        break;
    case TVGN_PREVIOUSVISIBLE:
        found = item != nullptr ? m_model.row_before(*item) : nullptr;
        break;
    default:
        break;
    }
    return found != nullptr ? found->handle : HTREEITEM();
}

BOOL TreeView::select_item(UINT relation, HTREEITEM handle) {
    TreeItem* item = m_model.find(handle);
    if (handle && item == nullptr) {
        return FALSE;
    }
    if (relation == TVGN_CARET) {
        select(item);
        return TRUE;
    }
    if (relation == TVGN_FIRSTVISIBLE && item != nullptr) {
        ensure_visible(*item);
        update_rows();
        m_scroller.scroll(SB_THUMBPOSITION, m_model.row_of(*item));
        invalidate();
        return TRUE;
    }
    return relation == TVGN_DROPHILITE;
}

BOOL TreeView::expand_item(UINT action, HTREEITEM handle) {
    TreeItem* item = m_model.find(handle);
    return item != nullptr && expand(*item, action) ? TRUE : FALSE;
}

HTREEITEM TreeView::hit_test(TVHITTESTINFO* info) {
    if (info == nullptr) {
        return HTREEITEM();
    }
    info->hItem = HTREEITEM();
    const RECT area = m_scroller.rows_area(client());
    const POINT point = info->pt;
    UINT outside = 0;
    outside |= point.x < area.left ? TVHT_TOLEFT : (point.x >= area.right ? TVHT_TORIGHT : 0);
    outside |= point.y < area.top ? TVHT_ABOVE : (point.y >= area.bottom ? TVHT_BELOW : 0);
    if (outside != 0) {
        info->flags = outside;
        return HTREEITEM();
    }
    const Metrics sizes = metrics();
    const std::vector<TreeItem*>& rows = m_model.rows();
    const size_t row = static_cast<size_t>(m_scroller.top() + point.y / sizes.row_height);
    if (row >= rows.size()) {
        info->flags = TVHT_NOWHERE;
        return HTREEITEM();
    }
    TreeItem& item = *rows[row];
    const RowLayout layout = layout_of(item, sizes);
    if (point.x < layout.button_left) {
        info->flags = TVHT_ONITEMINDENT;
    } else if (point.x < layout.icon_left) {
        info->flags = item.has_button() && layout.level > 0 ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
    } else if (point.x < layout.icon_right) {
        info->flags = TVHT_ONITEMICON;
    } else if (point.x < layout.label_right) {
        info->flags = TVHT_ONITEMLABEL;
    } else {
        info->flags = TVHT_ONITEMRIGHT;
    }
    info->hItem = item.handle;
    return item.handle;
}

// The record carries the item's handle in its first four bytes on the way in.
BOOL TreeView::item_rect(BOOL label_only, RECT* rect) {
    if (rect == nullptr) {
        return FALSE;
    }
    uint32_t value = 0;
    std::memcpy(&value, rect, sizeof(value));
    const HTREEITEM handle(value);
    TreeItem* item = m_model.find(handle);
    const int row = item != nullptr ? m_model.row_of(*item) : -1;
    if (row < 0) {
        return FALSE;
    }
    update_rows();
    const Metrics sizes = metrics();
    const int top = row_top(row, sizes);
    const RECT area = m_scroller.rows_area(client());
    if (label_only) {
        const RowLayout layout = layout_of(*item, sizes);
        *rect = RECT{layout.label_left, top, layout.label_right, top + sizes.row_height};
    } else {
        *rect = RECT{area.left, top, area.right, top + sizes.row_height};
    }
    return TRUE;
}

LRESULT TreeView::set_image_list(WPARAM which, LPARAM list) {
    if (which != TVSIL_NORMAL) {
        return 0;
    }
    const HIMAGELIST previous = m_images;
    m_images = HIMAGELIST(static_cast<uint32_t>(list));
    invalidate();
    return static_cast<LRESULT>(previous.value());
}

void TreeView::select(TreeItem* item) {
    m_selected = item;
    if (item != nullptr) {
        ensure_visible(*item);
    }
    invalidate();
}

bool TreeView::expand(TreeItem& item, UINT action) {
    if (!item.has_button() && item.first_child == nullptr) {
        return false;
    }
    const UINT kind = action & TVE_TOGGLE;
    const bool expanded = kind == TVE_TOGGLE ? !item.expanded : kind == TVE_EXPAND;
    if (kind == 0) {
        return false;
    }
    m_model.set_expanded(item, expanded);
    if (!expanded && m_selected != &item && TreeModel::is_within(m_selected, item)) {
        m_selected = &item;
    }
    invalidate();
    return true;
}

// Expands every collapsed ancestor, then scrolls the item's row into view.
void TreeView::ensure_visible(TreeItem& item) {
    for (TreeItem* up = item.parent; up != nullptr && up != &m_model.root(); up = up->parent) {
        m_model.set_expanded(*up, true);
    }
    update_rows();
    if (m_scroller.ensure_visible(m_model.row_of(item))) {
        invalidate();
    }
}

TreeView::Metrics TreeView::metrics() const {
    const int scale = pixel_scale();
    Metrics sizes{0, 0, 0, 0};
    ImageList_GetIconSize(m_images, &sizes.image_width, &sizes.image_height);
    const MeasuringDc measure(font());
    sizes.row_height = std::max(measure.line_height() + 2 * scale, sizes.image_height + scale);
    sizes.indent = std::max(sizes.image_width + 4 * scale, 19 * scale);
    return sizes;
}

int TreeView::level_of(const TreeItem& item) const {
    const bool root_lines =
        (style() & TVS_LINESATROOT) != 0 && (style() & (TVS_HASLINES | TVS_HASBUTTONS)) != 0;
    return TreeModel::depth(item) + (root_lines ? 1 : 0);
}

TreeView::RowLayout TreeView::layout_of(TreeItem& item, const Metrics& sizes) const {
    const int scale = pixel_scale();
    RowLayout layout{};
    layout.level = level_of(item);
    layout.icon_left = 2 * scale + layout.level * sizes.indent;
    layout.button_left = layout.level > 0 ? layout.icon_left - sizes.indent : layout.icon_left;
    layout.icon_right = layout.icon_left + sizes.image_width;
    layout.label_left = layout.icon_right + (sizes.image_width > 0 ? 3 * scale : 0);
    const MeasuringDc measure(font());
    layout.label_right = layout.label_left + measure.text_width(item.text) + 4 * scale;
    return layout;
}

RECT TreeView::client() const {
    RECT area{};
    GetClientRect(window(), &area);
    return area;
}

void TreeView::update_rows() {
    const RECT area = client();
    const int height = std::max(metrics().row_height, 1);
    m_scroller.set_rows(static_cast<int>(m_model.rows().size()),
                        std::max<int>((area.bottom - area.top) / height, 1));
}

int TreeView::row_top(int row, const Metrics& sizes) const {
    return (row - m_scroller.top()) * sizes.row_height;
}

void TreeView::paint() {
    update_rows();
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window(), &paint);
    const RECT area = client();
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    const HGDIOBJ previous_font = SelectObject(dc, font());
    SetBkMode(dc, TRANSPARENT);
    const Metrics sizes = metrics();
    const bool show_selection = m_focused || (style() & TVS_SHOWSELALWAYS) != 0;
    const std::vector<TreeItem*>& rows = m_model.rows();
    const size_t last = std::min(rows.size(), static_cast<size_t>(m_scroller.top()) +
                                                  static_cast<size_t>(m_scroller.fitting()) + 1);
    for (size_t row = static_cast<size_t>(m_scroller.top()); row < last; ++row) {
        paint_row(dc, *rows[row], sizes, show_selection);
    }
    m_scroller.paint(dc, area);
    SelectObject(dc, previous_font);
    EndPaint(window(), &paint);
}

void TreeView::paint_row(HDC dc, TreeItem& item, const Metrics& sizes, bool show_selection) {
    const int top = row_top(m_model.row_of(item), sizes);
    const RECT row{0, top, m_scroller.rows_area(client()).right, top + sizes.row_height};
    const RowLayout layout = layout_of(item, sizes);
    if ((style() & TVS_HASLINES) != 0) {
        paint_lines(dc, item, layout, row, sizes);
    }
    if ((style() & TVS_HASBUTTONS) != 0 && item.has_button() && layout.level > 0) {
        paint_button(dc, item, layout, row, sizes);
    }
    const bool selected = &item == m_selected;
    if (m_images) {
        ImageList_Draw(m_images, selected ? item.selected_image : item.image, dc, layout.icon_left,
                       top + (sizes.row_height - sizes.image_height) / 2, ILD_NORMAL);
    }
    RECT label{layout.label_left, top, layout.label_right, top + sizes.row_height};
    const bool highlighted = selected && show_selection;
    if (highlighted) {
        FillRect(dc, &label, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    label.left += 2 * pixel_scale();
    DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &label,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// A vertical line down each ancestor's column while that ancestor has siblings below, and the
// item's own elbow: down from the row above (or from its middle, for the very first item) and on
// to the next sibling if there is one.
void TreeView::paint_lines(HDC dc, TreeItem& item, const RowLayout& layout, const RECT& row,
                           const Metrics& sizes) {
    if (layout.level == 0) {
        return;
    }
    const int middle = (row.top + row.bottom) / 2;
    const auto column = [&](int level) {
        return layout.icon_left - (layout.level - level) * sizes.indent - sizes.indent / 2;
    };
    const int x = column(layout.level);
    const bool first_of_all = item.parent == &m_model.root() && item.previous == nullptr;
    fill(dc, x, first_of_all ? middle : row.top, x + 1,
         item.next != nullptr ? row.bottom : middle + 1, COLOR_BTNSHADOW);
    fill(dc, x, middle, layout.icon_left - 1, middle + 1, COLOR_BTNSHADOW);
    int level = layout.level - 1;
    for (TreeItem* up = item.parent; up != &m_model.root() && level > 0; up = up->parent, --level) {
        if (up->next != nullptr) {
            const int ancestor_x = column(level);
            fill(dc, ancestor_x, row.top, ancestor_x + 1, row.bottom, COLOR_BTNSHADOW);
        }
    }
}

void TreeView::paint_button(HDC dc, TreeItem& item, const RowLayout& layout, const RECT& row,
                            const Metrics& sizes) {
    const int scale = pixel_scale();
    const int half = 4 * scale;
    const int x = layout.icon_left - sizes.indent / 2;
    const int y = (row.top + row.bottom) / 2;
    const RECT box{x - half, y - half, x + half + 1, y + half + 1};
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
    const int arm = half - 2 * scale;
    fill(dc, x - arm, y - (scale - 1) / 2, x + arm + 1, y + scale / 2 + 1, COLOR_WINDOWTEXT);
    if (!item.expanded) {
        fill(dc, x - (scale - 1) / 2, y - arm, x + scale / 2 + 1, y + arm + 1, COLOR_WINDOWTEXT);
    }
}

void TreeView::stylus_down(POINT point) {
    SetFocus(window());
    update_rows();
    SetCapture(window());
    if (m_scroller.press(window(), client(), point)) {
        return;
    }
    TVHITTESTINFO hit{};
    hit.pt = point;
    hit_test(&hit);
    TreeItem* item = m_model.find(hit.hItem);
    if (item != nullptr && (hit.flags & TVHT_ONITEMBUTTON) != 0) {
        expand(*item, TVE_TOGGLE);
    } else if (item != nullptr && (hit.flags & TVHT_ONITEM) != 0) {
        select(item);
    }
    m_tap_pending = true;
    if (recognise_hold(window(), point)) {
        POINT screen = point;
        ClientToScreen(window(), &screen);
        SendMessageW(window(), WM_CONTEXTMENU, static_cast<WPARAM>(window().value()),
                     MAKELPARAM(screen.x, screen.y));
    }
}

void TreeView::stylus_move(POINT point) {
    m_scroller.drag(window(), client(), point);
}

void TreeView::stylus_up(POINT point) {
    if (m_scroller.release(window(), client(), point)) {
        return;
    }
    const bool tapped = m_tap_pending;
    m_tap_pending = false;
    ReleaseCapture();
    if (tapped) {
        notify_parent(window(), NM_CLICK);
    }
}

// A tap-and-hold ends the tap without a click; the request goes on to the parent either way.
void TreeView::context_request(WPARAM wparam, LPARAM lparam) {
    cancel_tap();
    default_handling(WM_CONTEXTMENU, wparam, lparam);
}

void TreeView::cancel_tap() {
    if (m_tap_pending) {
        m_tap_pending = false;
        ReleaseCapture();
    }
}

void TreeView::key_down(UINT key) {
    TreeItem* target = nullptr;
    const std::vector<TreeItem*>& rows = m_model.rows();
    if (m_selected == nullptr) {
        target = rows.empty() ? nullptr : rows.front();
    } else if (key == VK_UP) {
        target = m_model.row_before(*m_selected);
    } else if (key == VK_DOWN) {
        target = m_model.row_after(*m_selected);
    } else if (key == VK_LEFT) {
        if (m_selected->expanded && expand(*m_selected, TVE_COLLAPSE)) {
            return;
        }
        target = m_selected->parent != &m_model.root() ? m_selected->parent : nullptr;
    } else if (key == VK_RIGHT) {
        if (!m_selected->expanded && expand(*m_selected, TVE_EXPAND)) {
            return;
        }
        target = m_selected->first_child;
    } else if (key == VK_RETURN) {
        notify_parent(window(), NM_RETURN);
        return;
    }
    if (target != nullptr &&
        (key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT)) {
        select(target);
    }
}

} // namespace handset
