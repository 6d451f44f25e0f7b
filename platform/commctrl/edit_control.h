// The single-line edit control (class "Edit"). Its text lives in an EditBuffer; the control
// draws it with the caret and the selection, keeps the caret in view (ES_AUTOHSCROLL scrolls the
// text sideways; without it, typing stops where the field is full) and tells its parent
// EN_CHANGE after each change and EN_MAXTEXT when typing hits the limit. The frame comes from
// WS_BORDER, which the window system draws.
#pragma once

#include "commctrl/control.h"
#include "commctrl/edit_buffer.h"

#include <vector>

namespace handset {

class EditControl : public Control {
  public:
    EditControl(HWND window, const CREATESTRUCTW& create);

    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    LRESULT set_text(WPARAM wparam, LPARAM lparam);
    LRESULT get_text(size_t size, LPWSTR buffer) const;
    LRESULT get_selection(WPARAM wparam, LPARAM lparam) const;
    void type(char16_t character);
    void key_down(UINT key);
    void stylus_down(POINT point);

    // After an edit: keep the caret in view, repaint, and tell the parent when the text changed.
    void edited(bool changed);
    // The text's x positions: where each character starts, and the end (size + 1 entries).
    std::vector<int> prefix_widths(const std::u16string& text) const;
    int margin() const;
    int text_room() const;
    void scroll_to_caret();

    void paint();

    EditBuffer m_buffer;
    int m_scroll = 0;
    bool m_focused = false;
};

} // namespace handset
