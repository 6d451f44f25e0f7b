// The text of a single-line edit field and its selection, apart from any drawing: what typing,
// backspace, delete and the arrow keys do, and the limit on what the user may type.
//
// The limit stops the user only. Text the program sets is kept whole even when it is longer; the
// user can then shorten it but not lengthen it. A surrogate pair moves and deletes as one
// character.
#pragma once

#include <cstddef>
#include <string>

namespace handset {

class EditBuffer {
  public:
    static constexpr size_t default_limit = 30000;
    static constexpr size_t largest_limit = 0x7FFFFFFE;

    const std::u16string& text() const { return m_text; }
    size_t caret() const { return m_caret; }
    size_t selection_start() const { return m_anchor < m_caret ? m_anchor : m_caret; }
    size_t selection_end() const { return m_anchor < m_caret ? m_caret : m_anchor; }
    bool has_selection() const { return m_anchor != m_caret; }
    size_t limit() const { return m_limit; }

    // EM_LIMITTEXT: 0 lifts the limit as far as it goes.
    void set_limit(size_t limit) { m_limit = limit == 0 ? largest_limit : limit; }
    // The program's text: kept whole, caret at the start.
    void set_text(std::u16string text);
    // EM_SETSEL: a negative start removes the selection, a negative end means the end of the text.
    void select(long long start, long long end);

    // Types one character over the selection; false (and nothing changes) when the result would
    // pass the limit.
    bool type(char16_t character);
    // Whether typing a character now would fit under the limit.
    bool can_type() const;
    // Each answers whether the text changed.
    bool backspace();
    bool erase_forward();

    void move_left();
    void move_right();
    void move_home();
    void move_end();
    void place_caret(size_t position);

  private:
    void erase_selection();
    size_t step_back(size_t position) const;
    size_t step_forward(size_t position) const;

    std::u16string m_text;
    size_t m_caret = 0;
    size_t m_anchor = 0;
    size_t m_limit = default_limit;
};

} // namespace handset
