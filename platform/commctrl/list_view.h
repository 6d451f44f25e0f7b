// The list view control (class "SysListView32") in report style: a header of columns over rows
// of text cells, one row selected at a time, scrolled by rows. Full-row selection highlights the
// whole row, otherwise only the first cell. There is no horizontal scrolling: cells past the
// right edge are cut, which is what LVS_EX_NOHSCROLL asks for anyway.
#pragma once

#include "commctrl/control.h"
#include "commctrl/row_scroller.h"

#include <string>
#include <vector>

namespace handset {

class ListView : public Control {
  public:
    ListView(HWND window, const CREATESTRUCTW& create);

    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    struct Column {
        int format;
        int width;
        std::u16string title;
    };
    struct Row {
        std::vector<std::u16string> cells;
        LPARAM data = 0;
    };

    LRESULT insert_column(int index, const LVCOLUMNW* column);
    LRESULT insert_row(const LVITEMW* item);
    BOOL set_cell(int row, const LVITEMW* item);
    LRESULT get_cell(int row, LVITEMW* item) const;
    BOOL delete_row(int row);
    LRESULT next_row(int start, UINT flags) const;
    BOOL set_state(int row, const LVITEMW* item);
    LRESULT set_extended_style(DWORD mask, DWORD value);

    void select(int row);
    bool valid(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }
    int row_height() const;
    int header_height() const;
    RECT rows_area() const;
    void update_rows();
    int row_at(POINT point) const;

    void paint();
    void paint_header(HDC dc, const RECT& area) const;
    void paint_row(HDC dc, int row, const RECT& box, bool show_selection) const;

    void stylus_down(POINT point);
    void stylus_move(POINT point);
    void stylus_up(POINT point);
    void key_down(UINT key);

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    DWORD m_extended_style = 0;
    int m_selected = -1;
    RowScroller m_scroller;
    bool m_tap_pending = false;
    bool m_focused = false;
};

} // namespace handset
