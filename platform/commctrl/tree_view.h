// The tree view control (class "SysTreeView32"): items in a TreeModel, drawn as rows with lines,
// buttons, images from the normal image list and text, one of them selected.
//
// The stylus: the item under a tap is selected when the stylus goes down, and the parent hears
// NM_CLICK when it lifts. A tap-and-hold (the stylus kept down near one place for the hold time)
// makes the tree send itself WM_CONTEXTMENU while the stylus is still down; that cancels the click
// and goes on to the parent (the tree in wParam, the screen position in lParam). A tap on an
// item's button expands or collapses it; the scroll bar along the right edge scrolls the rows.
#pragma once

#include "commctrl/control.h"
#include "commctrl/row_scroller.h"
#include "commctrl/tree_model.h"

namespace handset {

class TreeView : public Control {
  public:
    TreeView(HWND window, const CREATESTRUCTW& create);

    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    // Where an item's parts lie across its row, in client coordinates.
    struct RowLayout {
        int level;
        int button_left;
        int icon_left;
        int icon_right;
        int label_left;
        int label_right;
    };
    struct Metrics {
        int row_height;
        int indent;
        int image_width;
        int image_height;
    };

    LRESULT insert_item(const TVINSERTSTRUCTW* insert);
    BOOL delete_item(HTREEITEM handle);
    BOOL get_item(TVITEMW* item);
    BOOL set_item(const TVITEMW* item);
    void apply_fields(TreeItem& found, const TVITEMW& item);
    HTREEITEM next_item(UINT relation, HTREEITEM handle);
    BOOL select_item(UINT relation, HTREEITEM handle);
    BOOL expand_item(UINT action, HTREEITEM handle);
    HTREEITEM hit_test(TVHITTESTINFO* info);
    BOOL item_rect(BOOL label_only, RECT* rect);
    LRESULT set_image_list(WPARAM which, LPARAM list);

    void select(TreeItem* item);
    bool expand(TreeItem& item, UINT action);
    void ensure_visible(TreeItem& item);

    Metrics metrics() const;
    RowLayout layout_of(TreeItem& item, const Metrics& metrics) const;
    int level_of(const TreeItem& item) const;
    RECT client() const;
    void update_rows();
    // The row's top edge in client coordinates.
    int row_top(int row, const Metrics& metrics) const;

    void paint();
    void paint_row(HDC dc, TreeItem& item, const Metrics& metrics, bool show_selection);
    void paint_lines(HDC dc, TreeItem& item, const RowLayout& layout, const RECT& row,
                     const Metrics& metrics);
    void paint_button(HDC dc, TreeItem& item, const RowLayout& layout, const RECT& row,
                      const Metrics& metrics);

    void stylus_down(POINT point);
    void stylus_move(POINT point);
    void stylus_up(POINT point);
    void context_request(WPARAM wparam, LPARAM lparam);
    void cancel_tap();
    void key_down(UINT key);

    TreeModel m_model;
    TreeItem* m_selected = nullptr;
    HIMAGELIST m_images;
    RowScroller m_scroller;
    bool m_tap_pending = false;
    bool m_focused = false;
};

} // namespace handset
