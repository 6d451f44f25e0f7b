// Text: DrawText's formatted text in a rectangle, ExtTextOut's runs at a point, and the measures
// of both.
#include "gdi/api_support.h"
#include "gdi/text_layout.h"

#include <wingdi.h>

#include <algorithm>
#include <numeric>
#include <string_view>

using namespace handset;

namespace {

struct TextStyle {
    uint32_t colour;
    bool opaque;
    uint32_t background;
    bool underline;
    bool strike_out;
};

TextStyle style_of(DeviceContext& dc) {
    const DcAttributes& a = dc.attributes();
    const LOGFONTW& font = dc.font_data().logfont;
    return TextStyle{pixel_from_colorref(a.text_color), a.bk_mode == OPAQUE,
                     pixel_from_colorref(a.bk_color), font.lfUnderline != 0, font.lfStrikeOut != 0};
}

// One line of text with its cell's top-left at `origin` (device coordinates).
void draw_line(Painter& painter, GlyphCache& font, POINT origin, const TextLine& line,
               const TextStyle& style) {
    const FontMetrics& m = font.metrics();
    if (style.opaque) {
        painter.fill(RECT{origin.x, origin.y, origin.x + line.width, origin.y + m.height},
                     style.background);
    }
    const LONG baseline = origin.y + m.ascent;
    for (size_t i = 0; i < line.chars.size(); ++i) {
        const Glyph& glyph = font.glyph(line.chars[i]);
        painter.blend_mask(origin.x + line.x[i] + glyph.left, baseline - glyph.top,
                           glyph.coverage.data(), glyph.width, glyph.rows, glyph.width,
                           style.colour);
    }
    auto rule = [&](LONG left, LONG right, LONG top) {
        painter.fill(RECT{left, top, right, top + m.underline_thickness}, style.colour);
    };
    if (style.underline) {
        rule(origin.x, origin.x + line.width, baseline + m.underline_offset);
    }
    if (style.strike_out) {
        rule(origin.x, origin.x + line.width, baseline - m.strikeout_offset);
    }
    if (line.underlined >= 0) {
        const size_t i = static_cast<size_t>(line.underlined);
        const LONG left = origin.x + line.x[i];
        rule(left, left + font.advance(line.chars[i]), baseline + m.underline_offset);
    }
}

std::u16string_view text_of(LPCWSTR text, int count) {
    if (count == -1) {
        return std::u16string_view(text);
    }
    return std::u16string_view(text, static_cast<size_t>(count));
}

// A run as ExtTextOut draws it: every character, at the given advances or the font's own.
TextLine run_of(GlyphCache& font, std::u16string_view text, const INT* advances) {
    TextLine line;
    size_t unit = 0;
    for (char32_t c : decode_utf16(text)) {
        const size_t units = c >= 0x10000 ? 2 : 1;
        line.chars.push_back(c);
        line.x.push_back(line.width);
        line.width += advances != nullptr
                          ? std::accumulate(advances + unit, advances + unit + units, 0)
                          : font.advance(c);
        unit += units;
    }
    return line;
}

int line_height(const FontMetrics& m, UINT format) {
    return m.height + ((format & DT_EXTERNALLEADING) ? m.external_leading : 0);
}

TEXTMETRICW text_metrics(const FontMetrics& m, const LOGFONTW& logfont, int dpi) {
    TEXTMETRICW tm{};
    tm.tmHeight = m.height;
    tm.tmAscent = m.ascent;
    tm.tmDescent = m.descent;
    tm.tmInternalLeading = m.internal_leading;
    tm.tmExternalLeading = m.external_leading;
    tm.tmAveCharWidth = m.average_width;
    tm.tmMaxCharWidth = m.max_width;
    tm.tmWeight = logfont.lfWeight >= FW_SEMIBOLD ? FW_BOLD : FW_NORMAL;
    tm.tmDigitizedAspectX = dpi;
    tm.tmDigitizedAspectY = dpi;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFFFC;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = logfont.lfItalic ? 1 : 0;
    tm.tmUnderlined = logfont.lfUnderline ? 1 : 0;
    tm.tmStruckOut = logfont.lfStrikeOut ? 1 : 0;
    // Variable pitch (the "fixed pitch" bit means the opposite), outline, TrueType, sans serif.
    tm.tmPitchAndFamily = 0x01 | 0x02 | 0x04 | FF_SWISS;
    tm.tmCharSet = ANSI_CHARSET;
    return tm;
}

LONG aligned_left(const RECT& box, int width, UINT format) {
    if (format & DT_CENTER) {
        return box.left + (box.right - box.left - width) / 2;
    }
    if (format & DT_RIGHT) {
        return box.right - width;
    }
    return box.left;
}

// Vertical centring applies to any text here, one line or several; bottom alignment only to a
// single line, as on the device.
LONG aligned_top(const RECT& box, int height, UINT format) {
    if (format & DT_VCENTER) {
        return box.top + (box.bottom - box.top - height) / 2;
    }
    if ((format & DT_BOTTOM) && (format & DT_SINGLELINE)) {
        return box.bottom - height;
    }
    return box.top;
}

// Runs work(guard, dc, glyphs) with the DC's font realised, or answers `failure`.
template <typename Result, typename Work>
Result with_font(HDC dc, Result failure, Work work) {
    return with_dc(dc, failure, [&](const GdiGuard& guard, DeviceContext& context) {
        GlyphCache* font = selected_glyphs(guard, context);
        return font == nullptr ? failure : work(guard, context, *font);
    });
}

int draw_text(const GdiGuard& guard, DeviceContext& dc, GlyphCache& font, std::u16string_view text,
              RECT& rect, UINT format) {
    const FontMetrics& m = font.metrics();
    const TextLayoutRules rules{format, rect.right - rect.left, 8 * m.average_width};
    const std::vector<TextLine> lines =
        lay_out_text(text, rules, [&](char32_t c) { return font.advance(c); });
    const int step = line_height(m, format);
    const int height = static_cast<int>(lines.size()) * step;
    if (format & DT_CALCRECT) {
        int width = 0;
        for (const TextLine& line : lines) {
            width = std::max(width, line.width);
        }
        rect.right = rect.left + width;
        rect.bottom = rect.top + height;
        return height;
    }
    Painter painter = (format & DT_NOCLIP) ? painter_for(guard, dc)
                                           : painter_within(guard, dc, dc.to_device(rect));
    const TextStyle style = style_of(dc);
    LONG y = aligned_top(rect, height, format);
    for (const TextLine& line : lines) {
        draw_line(painter, font, dc.to_device(aligned_left(rect, line.width, format), y), line,
                  style);
        y += step;
    }
    finish_painting(guard, dc, painter);
    const bool offset_result =
        (format & DT_VCENTER) || ((format & DT_BOTTOM) && (format & DT_SINGLELINE));
    return offset_result ? y - rect.top : height;
}

// Where ExtTextOut puts a run's top-left corner for the DC's text alignment.
POINT run_origin(const DcAttributes& a, POINT reference, int width, const FontMetrics& m) {
    POINT at = reference;
    if ((a.text_align & TA_CENTER) == TA_CENTER) {
        at.x -= width / 2;
    } else if (a.text_align & TA_RIGHT) {
        at.x -= width;
    }
    if ((a.text_align & TA_BASELINE) == TA_BASELINE) {
        at.y -= m.ascent;
    } else if (a.text_align & TA_BOTTOM) {
        at.y -= m.height;
    }
    return at;
}

} // namespace

int WINAPI DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    if (text == nullptr || rect == nullptr || count < -1) {
        return 0;
    }
    return with_font(dc, 0, [&](const GdiGuard& guard, DeviceContext& context, GlyphCache& font) {
        return draw_text(guard, context, font, text_of(text, count), *rect, format);
    });
}

BOOL WINAPI ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text,
                        UINT count, const INT* advances) {
    if (text == nullptr && count > 0) {
        return FALSE;
    }
    return with_font(
        dc, FALSE, [&](const GdiGuard& guard, DeviceContext& context, GlyphCache& font) {
            DcAttributes& a = context.attributes();
            const TextLine line = run_of(font, std::u16string_view(text, count), advances);
            const bool update_position = a.text_align & TA_UPDATECP;
            const POINT at = run_origin(a, update_position ? a.position : POINT{x, y}, line.width,
                                        font.metrics());
            const bool clipped = (options & ETO_CLIPPED) && rect != nullptr;
            Painter painter = clipped ? painter_within(guard, context, context.to_device(*rect))
                                      : painter_for(guard, context);
            if ((options & ETO_OPAQUE) && rect != nullptr) {
                painter.fill(context.to_device(*rect), pixel_from_colorref(a.bk_color));
            }
            draw_line(painter, font, context.to_device(at.x, at.y), line, style_of(context));
            finish_painting(guard, context, painter);
            if (update_position) {
                a.position.x += line.width;
            }
            return TRUE;
        });
}

BOOL WINAPI TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    if (count < 0) {
        return FALSE;
    }
    return ExtTextOutW(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size) {
    return GetTextExtentExPointW(dc, text, count, 0, nullptr, nullptr, size);
}

BOOL WINAPI GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int max_extent, int* fit,
                                  int* extents, LPSIZE size) {
    if (size == nullptr || count < 0 || (text == nullptr && count > 0)) {
        return FALSE;
    }
    return with_font(dc, FALSE, [&](const GdiGuard&, DeviceContext&, GlyphCache& font) {
        // Each UTF-16 unit gets the extent up to the end of its character.
        int width = 0;
        int unit = 0;
        int fitting = 0;
        for (char32_t c : decode_utf16(std::u16string_view(text, static_cast<size_t>(count)))) {
            width += font.advance(c);
            for (int part = 0; part < (c >= 0x10000 ? 2 : 1); ++part, ++unit) {
                if (extents != nullptr) {
                    extents[unit] = width;
                }
                if (width <= max_extent) {
                    fitting = unit + 1;
                }
            }
        }
        if (fit != nullptr) {
            *fit = fitting;
        }
        *size = SIZE{width, font.metrics().height};
        return TRUE;
    });
}

BOOL WINAPI GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics) {
    if (metrics == nullptr) {
        return FALSE;
    }
    return with_font(
        dc, FALSE, [&](const GdiGuard& guard, DeviceContext& context, GlyphCache& font) {
            *metrics = text_metrics(font.metrics(), context.font_data().logfont, screen_dpi(guard));
            return TRUE;
        });
}
