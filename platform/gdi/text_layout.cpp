#include "gdi/text_layout.h"

#include <wingdi.h>

namespace handset {

namespace {

struct Cell {
    char32_t c;
    bool underlined;
};

using Cells = std::vector<Cell>;

bool is_space(const Cell& cell) {
    return cell.c == U' ' || cell.c == U'\t';
}
bool is_line_break(char32_t c) {
    return c == U'\r' || c == U'\n';
}

// "&x" underlines x, "&&" is one "&", and a "&" at the very end is dropped.
Cells apply_prefixes(const std::u32string& text, bool prefixes) {
    Cells cells;
    for (size_t i = 0; i < text.size(); ++i) {
        if (prefixes && text[i] == U'&') {
            if (++i == text.size()) {
                break;
            }
            cells.push_back(Cell{text[i], text[i] != U'&'});
        } else {
            cells.push_back(Cell{text[i], false});
        }
    }
    return cells;
}

// "\r\n", "\n" and "\r" each end a paragraph; a single-line format drops them instead.
std::vector<Cells> split_paragraphs(const Cells& cells, bool single_line) {
    std::vector<Cells> paragraphs(1);
    for (size_t i = 0; i < cells.size(); ++i) {
        if (!is_line_break(cells[i].c)) {
            paragraphs.back().push_back(cells[i]);
            continue;
        }
        if (single_line) {
            continue;
        }
        if (cells[i].c == U'\r' && i + 1 < cells.size() && cells[i + 1].c == U'\n') {
            ++i;
        }
        paragraphs.emplace_back();
    }
    return paragraphs;
}

class LineMaker {
  public:
    LineMaker(const TextLayoutRules& rules, const CharMeasure& advance)
        : m_rules(rules), m_advance(advance) {}

    TextLine make(const Cell* begin, const Cell* end) const {
        TextLine line;
        for (const Cell* cell = begin; cell != end; ++cell) {
            if (cell->c == U'\t' && (m_rules.format & DT_EXPANDTABS) && m_rules.tab_width > 0) {
                line.width = (line.width / m_rules.tab_width + 1) * m_rules.tab_width;
                continue;
            }
            if (cell->c < 0x20) {
                continue;
            }
            if (cell->underlined) {
                line.underlined = static_cast<int>(line.chars.size());
            }
            line.chars.push_back(cell->c);
            line.x.push_back(line.width);
            line.width += m_advance(cell->c);
        }
        return line;
    }

    int width(const Cells& cells, size_t begin, size_t end) const {
        return make(cells.data() + begin, cells.data() + end).width;
    }

    // Cuts characters off the end until the rest and "..." fit the box.
    TextLine with_end_ellipsis(const Cell* begin, const Cell* end) const {
        const Cells dots(3, Cell{U'.', false});
        const int dots_width = make(dots.data(), dots.data() + dots.size()).width;
        Cells kept(begin, end);
        while (!kept.empty() && make(kept.data(), kept.data() + kept.size()).width + dots_width >
                                    m_rules.box_width) {
            kept.pop_back();
        }
        kept.insert(kept.end(), dots.begin(), dots.end());
        return make(kept.data(), kept.data() + kept.size());
    }

    TextLine finish(const Cell* begin, const Cell* end) const {
        TextLine line = make(begin, end);
        if ((m_rules.format & DT_END_ELLIPSIS) && line.width > m_rules.box_width) {
            return with_end_ellipsis(begin, end);
        }
        return line;
    }

  private:
    const TextLayoutRules& m_rules;
    const CharMeasure& m_advance;
};

size_t skip_spaces(const Cells& cells, size_t at) {
    while (at < cells.size() && is_space(cells[at])) {
        ++at;
    }
    return at;
}

size_t skip_word(const Cells& cells, size_t at) {
    while (at < cells.size() && !is_space(cells[at])) {
        ++at;
    }
    return at;
}

// Where the line starting at `start` ends: after the last whole word that fits, or, when not even
// the first word fits, after as many of its characters as fit (at least one).
size_t line_end(const Cells& cells, size_t start, const LineMaker& maker, int box_width) {
    size_t fits = start;
    size_t first_word_end = 0;
    for (size_t at = start; at < cells.size();) {
        const size_t word_begin = skip_spaces(cells, at);
        if (word_begin == cells.size()) {
            return cells.size();
        }
        const size_t word_end = skip_word(cells, word_begin);
        if (first_word_end == 0) {
            first_word_end = word_end;
        }
        if (maker.width(cells, start, word_end) > box_width) {
            break;
        }
        fits = at = word_end;
    }
    if (fits > start) {
        return fits;
    }
    size_t cut = start + 1;
    while (cut < first_word_end && maker.width(cells, start, cut + 1) <= box_width) {
        ++cut;
    }
    return cut;
}

void wrap_paragraph(const Cells& cells, const LineMaker& maker, int box_width,
                    std::vector<TextLine>& lines) {
    if (cells.empty()) {
        lines.push_back(TextLine{});
        return;
    }
    size_t start = 0;
    while (start < cells.size()) {
        const size_t end = line_end(cells, start, maker, box_width);
        // The spaces where a line breaks belong to neither line.
        size_t visible_end = end;
        if (end < cells.size()) {
            while (visible_end > start && is_space(cells[visible_end - 1])) {
                --visible_end;
            }
        }
        lines.push_back(maker.finish(cells.data() + start, cells.data() + visible_end));
        start = skip_spaces(cells, end);
    }
}

} // namespace

std::u32string decode_utf16(std::u16string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            out.push_back(high || low ? U'\uFFFD' : char32_t(unit));
        }
    }
    return out;
}

std::vector<TextLine> lay_out_text(std::u16string_view text, const TextLayoutRules& rules,
                                   const CharMeasure& advance) {
    const bool single_line = rules.format & DT_SINGLELINE;
    const bool wrap = !single_line && (rules.format & DT_WORDBREAK);
    const Cells cells = apply_prefixes(decode_utf16(text), !(rules.format & DT_NOPREFIX));
    const LineMaker maker(rules, advance);
    std::vector<TextLine> lines;
    for (const Cells& paragraph : split_paragraphs(cells, single_line)) {
        if (wrap) {
            wrap_paragraph(paragraph, maker, rules.box_width, lines);
        } else {
            lines.push_back(maker.finish(paragraph.data(), paragraph.data() + paragraph.size()));
        }
    }
    return lines;
}

} // namespace handset
