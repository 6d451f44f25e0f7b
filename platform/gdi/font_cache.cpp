#include "gdi/font_cache.h"

#include "base/debug_output.h"
#include "gdi/font_locator.h"
#include "gdi/font_sizes.h"

#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace handset {

namespace {

// Bigger requests are held to this many pixels, so that a wild LOGFONT cannot make FreeType
// render glyphs of gigabytes.
constexpr int largest_em = 512;

std::vector<FT_Byte> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<FT_Byte>(std::istreambuf_iterator<char>(in), {});
}

// Reads the design measures: the OS/2 table's Windows ascent and descent set a font's line
// height on the device, and its average width is tmAveCharWidth.
bool read_design(FT_Library library, FontFile& file) {
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, file.bytes.data(), static_cast<FT_Long>(file.bytes.size()), 0,
                           &face) != 0) {
        return false;
    }
    file.units_per_em = face->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    if (os2 != nullptr && os2->version != 0xFFFF) {
        file.win_ascent = os2->usWinAscent;
        file.win_descent = os2->usWinDescent;
        file.average_width = os2->xAvgCharWidth;
    } else {
        file.win_ascent = face->ascender;
        file.win_descent = -face->descender;
        file.average_width = face->max_advance_width / 2;
    }
    if (hhea != nullptr) {
        file.external_leading = std::max(0, hhea->Ascender - hhea->Descender + hhea->Line_Gap -
                                                (file.win_ascent + file.win_descent));
    }
    FT_Done_Face(face);
    return file.units_per_em > 0 && file.win_ascent + file.win_descent > 0;
}

} // namespace

FontCache& FontCache::instance(const GdiGuard&) {
    static auto* cache = new FontCache; // never destroyed, as the screen
    return *cache;
}

FontCache::FontCache() {
    if (FT_Init_FreeType(&m_library) != 0) {
        debug_line("gdi: FreeType does not start; text is not drawn");
        m_library = nullptr;
    }
}

std::shared_ptr<const FontFile> FontCache::file(bool bold) {
    const size_t slot = bold ? 1 : 0;
    if (m_looked_up[slot] || m_library == nullptr) {
        return m_files[slot];
    }
    m_looked_up[slot] = true;
    const std::optional<std::string> path = locate_dejavu_sans(bold);
    if (path) {
        auto loaded = std::make_shared<FontFile>();
        loaded->path = *path;
        loaded->bytes = read_file(*path);
        if (read_design(m_library, *loaded)) {
            m_files[slot] = std::move(loaded);
        } else {
            debug_printf("gdi: FreeType cannot read the font file %s", path->c_str());
        }
    }
    if (m_files[slot] == nullptr && bold) {
        m_files[slot] = file(false);
    } else if (m_files[slot] == nullptr) {
        debug_line("gdi: DejaVu Sans is not known to fontconfig and "
                   "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf is missing (install "
                   "fonts-dejavu-core); text is not drawn");
    }
    return m_files[slot];
}

int FontCache::em_size(const FontData& font, const FontFile& file, int dpi) const {
    int64_t height = font.logfont.lfHeight;
    if (font.sized_by_screen) {
        height = height * dpi / 96;
    }
    int64_t em;
    if (height < 0) {
        em = -height; // the character height itself
    } else if (height > 0) {
        // The cell height: the character height plus the internal leading.
        em = std::llround(static_cast<double>(height) * file.units_per_em /
                          (file.win_ascent + file.win_descent));
    } else {
        em = -system_font_height(dpi);
    }
    return static_cast<int>(std::clamp<int64_t>(em, 1, largest_em));
}

GlyphCache* FontCache::realize(const GdiGuard&, const FontData& font, int dpi) {
    const bool bold = font.logfont.lfWeight >= FW_SEMIBOLD;
    const std::shared_ptr<const FontFile> source = file(bold);
    if (source == nullptr) {
        return nullptr;
    }
    const int em = em_size(font, *source, dpi);
    const bool italic = font.logfont.lfItalic != 0;
    auto& slot = m_sizes[{bold, em, italic}];
    if (slot == nullptr) {
        slot = GlyphCache::open(m_library, source, em, italic);
    }
    return slot.get();
}

} // namespace handset
