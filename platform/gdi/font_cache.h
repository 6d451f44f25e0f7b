// Turns a selected font into its glyphs: DejaVu Sans regular, or bold from weight 600 up, at the
// pixel size the LOGFONT asks for, one GlyphCache per size kept for the process's life. Every
// call expects the GDI lock held.
#pragma once

#include "gdi/gdi_lock.h"
#include "gdi/gdi_object.h"
#include "gdi/glyph_cache.h"

#include <array>
#include <map>
#include <memory>
#include <tuple>

namespace handset {

class FontCache {
  public:
    static FontCache& instance(const GdiGuard&);
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // nullptr when no font file is to be had (said once on the debug output); text then draws
    // nothing and measures zero wide.
    GlyphCache* realize(const GdiGuard&, const FontData& font, int dpi);

  private:
    FontCache();
    std::shared_ptr<const FontFile> file(bool bold);
    int em_size(const FontData& font, const FontFile& file, int dpi) const;

    FT_Library m_library = nullptr;
    std::array<std::shared_ptr<const FontFile>, 2> m_files;
    std::array<bool, 2> m_looked_up{};
    std::map<std::tuple<bool, int, bool>, std::unique_ptr<GlyphCache>> m_sizes;
};

} // namespace handset
