#include "aygshell/keyboard_layout.h"

#include "gdi/rect_math.h"

#include <array>
#include <string_view>

namespace handset {

namespace {

constexpr int column_count = 10;
constexpr int row_count = 5;

// One row as the keys' characters without and with shift, one column each. '\b' marks backspace,
// '\x0e' shift, and a run of spaces one wide space bar.
struct RowText {
    std::u16string_view normal;
    std::u16string_view shifted;
};

constexpr std::array<RowText, row_count> rows{{
    {u"1234567890", u"!@#$%^&*()"},
    {u"qwertyuiop", u"QWERTYUIOP"},
    {u"asdfghjkl\b", u"ASDFGHJKL\b"},
    {u"\x0ezxcvbnm.-", u"\x0eZXCVBNM,_"},
    {u"+*#      @", u"+*#      @"},
}};

constexpr WCHAR backspace_mark = u'\b';
constexpr WCHAR shift_mark = u'\x0e';

LONG edge(LONG size, int index, int count) {
    return size * index / count;
}

PanelKey key_for(WCHAR normal, WCHAR shifted) {
    if (normal == backspace_mark) {
        return PanelKey{PanelKey::Action::backspace};
    }
    if (normal == shift_mark) {
        return PanelKey{PanelKey::Action::shift};
    }
    return PanelKey{PanelKey::Action::character, normal, shifted};
}

} // namespace

KeyboardLayout::KeyboardLayout(LONG width, LONG height) {
    for (int row = 0; row < row_count; ++row) {
        const RowText& text = rows[row];
        const LONG top = edge(height, row, row_count);
        const LONG bottom = edge(height, row + 1, row_count);
        int column = 0;
        while (column < column_count) {
            // A run of equal characters is one wide key (the space bar).
            int span = 1;
            while (column + span < column_count &&
                   text.normal[column + span] == text.normal[column]) {
                ++span;
            }
            PanelKey key = key_for(text.normal[column], text.shifted[column]);
            key.area = RECT{edge(width, column, column_count), top,
                            edge(width, column + span, column_count), bottom};
            m_keys.push_back(key);
            column += span;
        }
    }
}

const PanelKey* KeyboardLayout::key_at(POINT point) const {
    for (const PanelKey& key : m_keys) {
        if (rect_contains(key.area, point.x, point.y)) {
            return &key;
        }
    }
    return nullptr;
}

} // namespace handset
