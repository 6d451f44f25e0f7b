#include "commctrl/list_view.h"

#include "commctrl/control_support.h"

#include <algorithm>

namespace handset {

namespace {

const LPWSTR text_callback = reinterpret_cast<LPWSTR>(static_cast<intptr_t>(-1));

std::u16string text_of(LPCWSTR text) {
    return text == nullptr || text == text_callback ? std::u16string() : std::u16string(text);
}

POINT point_of(LPARAM lparam) {
    return POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
}

// The text into a caller's buffer, cut to fit; the count copied.
int copy_text(const std::u16string& text, LPWSTR buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const size_t count = std::min(text.size(), static_cast<size_t>(size) - 1);
    std::copy_n(text.data(), count, buffer);
    buffer[count] = u'\0';
    return static_cast<int>(count);
}

UINT alignment_of(int format) {
    switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return DT_RIGHT;
    case LVCFMT_CENTER:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

} // namespace

ListView::ListView(HWND window, const CREATESTRUCTW&) : Control(window) {}

LRESULT ListView::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (handle_font(message, wparam, lparam, result)) {
        return result;
    }
    const int index = static_cast<int>(wparam);
    switch (message) {
    case LVM_INSERTCOLUMNW:
        return insert_column(index, reinterpret_cast<const LVCOLUMNW*>(lparam));
    case LVM_GETCOLUMNWIDTH:
        return index >= 0 && index < static_cast<int>(m_columns.size())
                   ? m_columns[static_cast<size_t>(index)].width
                   : 0;
    case LVM_INSERTITEMW:
        return insert_row(reinterpret_cast<const LVITEMW*>(lparam));
    case LVM_SETITEMTEXTW:
        return set_cell(index, reinterpret_cast<const LVITEMW*>(lparam));
    case LVM_GETITEMTEXTW:
        return get_cell(index, reinterpret_cast<LVITEMW*>(lparam));
    case LVM_GETITEMCOUNT:
        return static_cast<LRESULT>(m_rows.size());
    case LVM_DELETEITEM:
        return delete_row(index);
    case LVM_DELETEALLITEMS:
        m_rows.clear();
        m_selected = -1;
        invalidate();
        return TRUE;
    case LVM_GETNEXTITEM:
        return next_row(index, static_cast<UINT>(lparam));
    case LVM_SETITEMSTATE:
        return set_state(index, reinterpret_cast<const LVITEMW*>(lparam));
    case LVM_GETITEMSTATE:
        return index == m_selected && valid(index) ? (LVIS_SELECTED & lparam) : 0;
    case LVM_ENSUREVISIBLE:
        if (!valid(index)) {
            return FALSE;
        }
        update_rows();
        if (m_scroller.ensure_visible(index)) {
            invalidate();
        }
        return TRUE;
    case LVM_SETEXTENDEDLISTVIEWSTYLE:
        return set_extended_style(static_cast<DWORD>(wparam), static_cast<DWORD>(lparam));
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return m_extended_style;
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
    case WM_STYLECHANGED:
        invalidate();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_focused = message == WM_SETFOCUS;
        invalidate();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
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
        m_tap_pending = false;
        return default_handling(message, wparam, lparam);
    case WM_CAPTURECHANGED:
        m_tap_pending = false;
        return 0;
    default:
        return default_handling(message, wparam, lparam);
    }
}

LRESULT ListView::insert_column(int index, const LVCOLUMNW* column) {
    if (column == nullptr || index < 0) {
        return -1;
    }
    const size_t at = std::min(static_cast<size_t>(index), m_columns.size());
    Column added{LVCFMT_LEFT, 50 * pixel_scale(), u""};
    if ((column->mask & LVCF_FMT) != 0) {
        added.format = column->fmt;
    }
    if ((column->mask & LVCF_WIDTH) != 0) {
        added.width = std::max(column->cx, 0);
    }
    if ((column->mask & LVCF_TEXT) != 0) {
        added.title = text_of(column->pszText);
    }
    m_columns.insert(m_columns.begin() + static_cast<std::ptrdiff_t>(at), std::move(added));
    for (Row& row : m_rows) {
        if (row.cells.size() > at) {
            row.cells.insert(row.cells.begin() + static_cast<std::ptrdiff_t>(at), u"");
        }
    }
    invalidate();
    return static_cast<LRESULT>(at);
}

LRESULT ListView::insert_row(const LVITEMW* item) {
    if (item == nullptr || item->iSubItem != 0 || item->iItem < 0) {
        return -1;
    }
    const size_t at = std::min(static_cast<size_t>(item->iItem), m_rows.size());
    Row added;
    added.cells.push_back((item->mask & LVIF_TEXT) != 0 ? text_of(item->pszText) : u"");
    if ((item->mask & LVIF_PARAM) != 0) {
        added.data = item->lParam;
    }
    m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(added));
    if (m_selected >= static_cast<int>(at)) {
        ++m_selected;
    }
    if ((item->mask & LVIF_STATE) != 0 && (item->stateMask & item->state & LVIS_SELECTED) != 0) {
        select(static_cast<int>(at));
    }
    invalidate();
    return static_cast<LRESULT>(at);
}

BOOL ListView::set_cell(int row, const LVITEMW* item) {
    if (item == nullptr || !valid(row) || item->iSubItem < 0) {
        return FALSE;
    }
    std::vector<std::u16string>& cells = m_rows[static_cast<size_t>(row)].cells;
    const auto column = static_cast<size_t>(item->iSubItem);
    if (cells.size() <= column) {
        cells.resize(column + 1);
    }
    cells[column] = text_of(item->pszText);
    invalidate();
    return TRUE;
}

LRESULT ListView::get_cell(int row, LVITEMW* item) const {
    if (item == nullptr || !valid(row) || item->iSubItem < 0) {
        return 0;
    }
    const std::vector<std::u16string>& cells = m_rows[static_cast<size_t>(row)].cells;
    const auto column = static_cast<size_t>(item->iSubItem);
    static const std::u16string empty;
    return copy_text(column < cells.size() ? cells[column] : empty, item->pszText,
                     item->cchTextMax);
}

BOOL ListView::delete_row(int row) {
    if (!valid(row)) {
        return FALSE;
    }
    m_rows.erase(m_rows.begin() + row);
    if (m_selected == row) {
        m_selected = -1;
    } else if (m_selected > row) {
        --m_selected;
    }
    invalidate();
    return TRUE;
}

// Selection is the only state a row has here, and focus follows it.
LRESULT ListView::next_row(int start, UINT flags) const {
    if ((flags & (LVNI_SELECTED | LVNI_FOCUSED)) != 0) {
        return m_selected > start ? m_selected : -1;
    }
    return valid(start + 1) ? start + 1 : -1;
}

BOOL ListView::set_state(int row, const LVITEMW* item) {
    if (item == nullptr || (row != -1 && !valid(row))) {
        return FALSE;
    }
    if ((item->stateMask & LVIS_SELECTED) == 0) {
        return TRUE;
    }
    const bool selecting = (item->state & LVIS_SELECTED) != 0;
    if (selecting) {
        select(row == -1 ? m_selected : row);
    } else if (row == -1 || row == m_selected) {
        m_selected = -1;
        invalidate();
    }
    return TRUE;
}

LRESULT ListView::set_extended_style(DWORD mask, DWORD value) {
    const DWORD previous = m_extended_style;
    const DWORD changed = mask == 0 ? 0xFFFFFFFFu : mask;
    m_extended_style = (m_extended_style & ~changed) | (value & changed);
    invalidate();
    return static_cast<LRESULT>(previous);
}

void ListView::select(int row) {
    m_selected = valid(row) ? row : -1;
    if (m_selected >= 0) {
        update_rows();
        m_scroller.ensure_visible(m_selected);
    }
    invalidate();
}

int ListView::row_height() const {
    const MeasuringDc measure(font());
    return measure.line_height() + 4 * pixel_scale();
}

int ListView::header_height() const {
    return (style() & LVS_NOCOLUMNHEADER) != 0 ? 0 : row_height();
}

RECT ListView::rows_area() const {
    RECT area{};
    GetClientRect(window(), &area);
    area.top = std::min(area.bottom, area.top + header_height());
    return area;
}

void ListView::update_rows() {
    const RECT area = rows_area();
    m_scroller.set_rows(static_cast<int>(m_rows.size()),
                        std::max<int>((area.bottom - area.top) / row_height(), 1));
}

int ListView::row_at(POINT point) const {
    const RECT area = m_scroller.rows_area(rows_area());
    if (point.x < area.left || point.x >= area.right || point.y < area.top ||
        point.y >= area.bottom) {
        return -1;
    }
    const int row = m_scroller.top() + (point.y - area.top) / row_height();
    return valid(row) ? row : -1;
}

void ListView::paint() {
    update_rows();
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window(), &paint);
    RECT client{};
    GetClientRect(window(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const HGDIOBJ previous_font = SelectObject(dc, font());
    SetBkMode(dc, TRANSPARENT);
    const RECT area = rows_area();
    if (header_height() > 0) {
        paint_header(dc, RECT{client.left, client.top, client.right, area.top});
    }
    const RECT rows = m_scroller.rows_area(area);
    const int height = row_height();
    const bool show_selection = m_focused || (style() & LVS_SHOWSELALWAYS) != 0;
    for (int row = m_scroller.top(); valid(row) && row <= m_scroller.top() + m_scroller.fitting();
         ++row) {
        const int top = rows.top + (row - m_scroller.top()) * height;
        paint_row(dc, row, RECT{rows.left, top, rows.right, top + height}, show_selection);
    }
    m_scroller.paint(dc, area);
    SelectObject(dc, previous_font);
    EndPaint(window(), &paint);
}

void ListView::paint_header(HDC dc, const RECT& area) const {
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    const RECT rule{area.left, area.bottom - 1, area.right, area.bottom};
    FillRect(dc, &rule, GetSysColorBrush(COLOR_BTNSHADOW));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const int padding = 3 * pixel_scale();
    int left = area.left;
    for (const Column& column : m_columns) {
        RECT cell{left + padding, area.top, left + column.width - padding, area.bottom - 1};
        DrawTextW(dc, column.title.c_str(), static_cast<int>(column.title.size()), &cell,
                  alignment_of(column.format) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX |
                      DT_END_ELLIPSIS);
        left += column.width;
        const RECT divider{left - 1, area.top + padding, left, area.bottom - padding};
        FillRect(dc, &divider, GetSysColorBrush(COLOR_BTNSHADOW));
    }
}

void ListView::paint_row(HDC dc, int row, const RECT& box, bool show_selection) const {
    const bool highlighted = row == m_selected && show_selection;
    const bool full_row = (m_extended_style & LVS_EX_FULLROWSELECT) != 0;
    const int padding = 3 * pixel_scale();
    const std::vector<std::u16string>& cells = m_rows[static_cast<size_t>(row)].cells;
    int left = box.left;
    for (size_t column = 0; column < m_columns.size(); ++column) {
        const int width = m_columns[column].width;
        const bool lit = highlighted && (full_row || column == 0);
        if (lit) {
            const RECT cell{left, box.top, left + width, box.bottom};
            FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        if (column < cells.size()) {
            SetTextColor(dc, GetSysColor(lit ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            RECT text{left + padding, box.top, left + width - padding, box.bottom};
            DrawTextW(dc, cells[column].c_str(), static_cast<int>(cells[column].size()), &text,
                      alignment_of(m_columns[column].format) | DT_VCENTER | DT_SINGLELINE |
                          DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        left += width;
    }
}

void ListView::stylus_down(POINT point) {
    SetFocus(window());
    update_rows();
    SetCapture(window());
    if (m_scroller.press(window(), rows_area(), point)) {
        return;
    }
    const int row = row_at(point);
    if (row >= 0) {
        select(row);
    }
    m_tap_pending = true;
}

void ListView::stylus_move(POINT point) {
    m_scroller.drag(window(), rows_area(), point);
}

void ListView::stylus_up(POINT point) {
    if (m_scroller.release(window(), rows_area(), point)) {
        return;
    }
    const bool tapped = m_tap_pending;
    m_tap_pending = false;
    ReleaseCapture();
    if (tapped) {
        notify_parent(window(), NM_CLICK);
    }
}

void ListView::key_down(UINT key) {
    if (m_rows.empty()) {
        return;
    }
    if (key == VK_UP) {
        select(std::max(m_selected - 1, 0));
    } else if (key == VK_DOWN) {
        select(std::min(m_selected + 1, static_cast<int>(m_rows.size()) - 1));
    }
}

} // namespace handset
