#include "commctrl/edit_buffer.h"

#include <algorithm>

namespace handset {

namespace {

bool is_high_surrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool is_low_surrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

void EditBuffer::set_text(std::u16string text) {
    m_text = std::move(text);
    m_caret = m_anchor = 0;
}

void EditBuffer::select(long long start, long long end) {
    const auto length = static_cast<long long>(m_text.size());
    if (start < 0) {
        m_anchor = m_caret;
        return;
    }
    if (end < 0) {
        end = length;
    }
    m_anchor = static_cast<size_t>(std::min(start, length));
    m_caret = static_cast<size_t>(std::min(end, length));
}

bool EditBuffer::can_type() const {
    const size_t kept = m_text.size() - (selection_end() - selection_start());
    return kept < m_limit;
}

bool EditBuffer::type(char16_t character) {
    if (!can_type()) {
        return false;
    }
    erase_selection();
    m_text.insert(m_caret, 1, character);
    m_anchor = ++m_caret;
    return true;
}

bool EditBuffer::backspace() {
    if (has_selection()) {
        erase_selection();
        return true;
    }
    if (m_caret == 0) {
        return false;
    }
    const size_t from = step_back(m_caret);
    m_text.erase(from, m_caret - from);
    m_anchor = m_caret = from;
    return true;
}

bool EditBuffer::erase_forward() {
    if (has_selection()) {
        erase_selection();
        return true;
    }
    if (m_caret >= m_text.size()) {
        return false;
    }
    m_text.erase(m_caret, step_forward(m_caret) - m_caret);
    return true;
}

// Moving with a selection first collapses it to the side the arrow points at.
void EditBuffer::move_left() {
    place_caret(has_selection() ? selection_start() : step_back(m_caret));
}

void EditBuffer::move_right() {
    place_caret(has_selection() ? selection_end() : step_forward(m_caret));
}

void EditBuffer::move_home() {
    place_caret(0);
}

void EditBuffer::move_end() {
    place_caret(m_text.size());
}

void EditBuffer::place_caret(size_t position) {
    position = std::min(position, m_text.size());
    if (position > 0 && position < m_text.size() && is_low_surrogate(m_text[position]) &&
        is_high_surrogate(m_text[position - 1])) {
        --position;
    }
    m_anchor = m_caret = position;
}

void EditBuffer::erase_selection() {
    const size_t start = selection_start();
    m_text.erase(start, selection_end() - start);
    m_anchor = m_caret = start;
}

size_t EditBuffer::step_back(size_t position) const {
    if (position == 0) {
        return 0;
    }
    --position;
    if (position > 0 && is_low_surrogate(m_text[position]) &&
        is_high_surrogate(m_text[position - 1])) {
        --position;
    }
    return position;
}

size_t EditBuffer::step_forward(size_t position) const {
    if (position >= m_text.size()) {
        return m_text.size();
    }
    ++position;
    if (position < m_text.size() && is_low_surrogate(m_text[position]) &&
        is_high_surrogate(m_text[position - 1])) {
        ++position;
    }
    return position;
}

} // namespace handset
