// One font at one pixel size through FreeType: its metrics as GetTextMetrics gives them, and the
// anti-aliased glyph images, each rendered once and kept, since a screen full of tree items is
// repainted often. Every call expects the GDI lock held (FreeType faces are not thread-safe).
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace handset {

// A font file read into memory, shared by the sizes made from it, with the design measures that
// turn a cell height into a character height.
struct FontFile {
    std::string path;
    std::vector<FT_Byte> bytes;
    int units_per_em = 0;
    int win_ascent = 0;  // above the baseline, in font units
    int win_descent = 0; // below it
    int external_leading = 0;
    int average_width = 0;
};

struct Glyph {
    int left = 0; // from the pen position to the image's left edge
    int top = 0;  // from the baseline up to the image's top edge
    int width = 0;
    int rows = 0;
    int advance = 0; // whole pixels, as the device's text measures are
    std::vector<uint8_t> coverage;
};

struct FontMetrics {
    int em = 0; // the character height in pixels
    int ascent = 0;
    int descent = 0;
    int height = 0; // ascent + descent: one line of text
    int internal_leading = 0;
    int external_leading = 0;
    int average_width = 0;
    int max_width = 0;
    int underline_offset = 0; // from the baseline down to the underline's top
    int underline_thickness = 1;
    int strikeout_offset = 0; // from the baseline up to the strike-out line's top
};

class GlyphCache {
  public:
    // nullptr when FreeType cannot read the file at that size.
    static std::unique_ptr<GlyphCache>
    open(FT_Library library, std::shared_ptr<const FontFile> file, int em, bool italic);
    ~GlyphCache();
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;

    const FontMetrics& metrics() const { return m_metrics; }
    const Glyph& glyph(char32_t code);
    int advance(char32_t code) { return glyph(code).advance; }

  private:
    GlyphCache(std::shared_ptr<const FontFile> file, FT_Face face, int em);
    Glyph render(char32_t code) const;

    std::shared_ptr<const FontFile> m_file;
    FT_Face m_face;
    FontMetrics m_metrics;
    std::unordered_map<char32_t, Glyph> m_glyphs;
};

} // namespace handset
