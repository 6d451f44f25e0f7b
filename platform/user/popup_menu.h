// One open popup menu: its window (class "#32768"), the layout of its items, the highlighted
// item, and the loop that runs while it is open. TrackPopupMenuEx opens one; choosing an item
// that has a popup of its own opens another beside it, whose loop runs inside this one's.
//
// The menu window captures the stylus, so every tap reaches it: a tap on an item chooses it, a
// tap outside closes the menu (and the menus it was opened from). While it is open, the keys of
// its thread go to it: up and down move the highlight, Enter chooses, Esc closes this level,
// Right opens a popup item and Left closes an inner menu; a character chooses the item whose
// '&' mnemonic it is.
#pragma once

#include "user/menu.h"

#include <winuser.h>

#include <optional>
#include <vector>

namespace handset {

class PopupMenu {
  public:
    PopupMenu(HMENU menu, HWND owner, PopupMenu* opener);

    // Opens the menu at the point (aligned by the TPM_* flags, kept on the screen) and runs it
    // until it closes; the command chosen, or 0.
    UINT run(UINT flags, POINT at);

    // The window procedure's work, for the menu's own window.
    LRESULT handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  private:
    struct Item {
        MenuEntry entry;
        RECT rect{};
    };

    void lay_out();
    RECT place(UINT flags, POINT at) const;
    void run_loop(HWND window);
    bool route(HWND window, MSG& message);

    void paint(HWND window);
    void paint_item(HDC dc, const Item& item, bool highlighted) const;
    int item_at(POINT client) const;
    void highlight(HWND window, int index);
    void step(HWND window, int direction);
    void choose(HWND window, int index);
    void choose_mnemonic(HWND window, WCHAR character);
    void close(UINT command);
    void close_all();

    HMENU m_menu;
    HWND m_owner;
    PopupMenu* m_opener;
    HWND m_window;
    std::vector<Item> m_items;
    RECT m_client{};
    SIZE m_size{};
    LONG m_item_height = 0;
    int m_highlighted = -1;
    bool m_pressed = false;
    bool m_closed = false;
    UINT m_chosen = 0;
};

// The screen rectangle of the item at the position of an open popup menu window; any thread.
std::optional<RECT> popup_menu_item_rect(HWND menu_window, int position);
// The menu an open popup menu window shows.
HMENU popup_menu_of(HWND menu_window);

} // namespace handset
