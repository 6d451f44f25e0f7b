#include "gdi/glyph_cache.h"

#include <algorithm>
#include <cmath>

namespace handset {

namespace {

// Light hinting keeps the glyphs' shapes and snaps them vertically only, which reads best at the
// small sizes of a phone screen; advances are then rounded to whole pixels.
constexpr FT_Int32 load_flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT;

// The slant of the device's synthesised italics, about 12 degrees, in 16.16 fixed point.
constexpr FT_Fixed italic_shear = 0x3600;

int scale(long font_units, int em, int units_per_em) {
    return static_cast<int>(std::lround(static_cast<double>(font_units) * em / units_per_em));
}

FontMetrics measure(const FontFile& file, FT_Face face, int em) {
    const int upem = file.units_per_em;
    FontMetrics m;
    m.em = em;
    m.ascent = scale(file.win_ascent, em, upem);
    m.descent = scale(file.win_descent, em, upem);
    m.height = m.ascent + m.descent;
    m.internal_leading = m.height - em;
    m.external_leading = std::max(0, scale(file.external_leading, em, upem));
    m.average_width = std::max(1, scale(file.average_width, em, upem));
    m.max_width = scale(face->max_advance_width, em, upem);
    m.underline_thickness = std::max(1, scale(face->underline_thickness, em, upem));
    m.underline_offset = std::max(1, scale(-face->underline_position, em, upem));
    m.strikeout_offset = std::max(1, m.ascent / 3);
    return m;
}

} // namespace

std::unique_ptr<GlyphCache>
GlyphCache::open(FT_Library library, std::shared_ptr<const FontFile> file, int em, bool italic) {
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, file->bytes.data(), static_cast<FT_Long>(file->bytes.size()), 0,
                           &face) != 0) {
        return nullptr;
    }
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    if (italic) {
        FT_Matrix shear{0x10000, italic_shear, 0, 0x10000};
        FT_Set_Transform(face, &shear, nullptr);
    }
    return std::unique_ptr<GlyphCache>(new GlyphCache(std::move(file), face, em));
}

GlyphCache::GlyphCache(std::shared_ptr<const FontFile> file, FT_Face face, int em)
    : m_file(std::move(file)), m_face(face), m_metrics(measure(*m_file, face, em)) {}

GlyphCache::~GlyphCache() {
    FT_Done_Face(m_face);
}

const Glyph& GlyphCache::glyph(char32_t code) {
    auto found = m_glyphs.find(code);
    if (found == m_glyphs.end()) {
        found = m_glyphs.emplace(code, render(code)).first;
    }
    return found->second;
}

Glyph GlyphCache::render(char32_t code) const {
    Glyph glyph;
    // A character the font lacks shows as its missing-glyph box, as on the device.
    const FT_UInt index = FT_Get_Char_Index(m_face, code);
    if (FT_Load_Glyph(m_face, index, load_flags) != 0 ||
        FT_Render_Glyph(m_face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
        return glyph;
    }
    const FT_GlyphSlot slot = m_face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
    for (int row = 0; row < glyph.rows; ++row) {
        const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        std::copy(source, source + glyph.width,
                  glyph.coverage.begin() + static_cast<ptrdiff_t>(row) * glyph.width);
    }
    return glyph;
}

} // namespace handset
