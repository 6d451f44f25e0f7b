// The pixel work behind every drawing call: fills, raster operations, lines, glyph masks and
// blits onto one surface, each cut to a clip region (device coordinates). It remembers the
// bounds of what it touched, so that the caller can report it to the display.
#pragma once

#include "gdi/clip_region.h"
#include "gdi/gdi_object.h"
#include "gdi/surface.h"

#include <cstdint>

namespace handset {

// How a blit combines each source pixel with the destination.
struct BlitMode {
    enum class Kind { raster, transparent_key, alpha_blend };
    Kind kind = Kind::raster;
    uint8_t rop = 0xCC;              // raster: the ternary operation's index (0xCC copies)
    uint32_t pattern = opaque_alpha; // raster: the brush's pixel
    uint32_t key = 0;                // transparent_key: source pixels of this colour are skipped
    BYTE constant_alpha = 255;       // alpha_blend
    bool source_alpha = false;       // alpha_blend: AC_SRC_ALPHA, premultiplied source
};

class Painter {
  public:
    Painter(Surface& target, ClipRegion clip);

    void fill(const RECT& area, uint32_t pixel);
    // A raster operation without a source (PatBlt): `rop` over the pattern and the destination.
    void raster(const RECT& area, uint8_t rop, uint32_t pattern);
    // XORs every other pixel of the rectangle's outline (the focus rectangle).
    void invert_dotted_frame(const RECT& area);
    void set_pixel(LONG x, LONG y, uint32_t pixel);
    // A line from `from` up to, but not including, `to` (as LineTo draws it).
    void line(POINT from, POINT to, const PenData& pen);
    // Blends `colour` over the target through an 8-bit coverage mask whose top-left lands at
    // (x, y).
    void blend_mask(LONG x, LONG y, const uint8_t* mask, int width, int rows, int pitch,
                    uint32_t colour);
    // Copies `source_area` of `source` onto `dest_area`, stretching with the nearest pixel when
    // the sizes differ. Parts outside the source are left alone. The source may be the target.
    void blit(const Surface& source, const RECT& source_area, const RECT& dest_area,
              const BlitMode& mode);

    // The bounds of everything drawn so far.
    RECT drawn() const { return m_drawn; }

  private:
    void stamp(LONG x, LONG y, int width, uint32_t pixel);
    void note_drawn(const RECT& area);

    Surface& m_target;
    ClipRegion m_clip;
    RECT m_drawn{0, 0, 0, 0};
};

// The result of ternary raster operation `rop` (the index in bits 16 to 23 of a ROP code) on
// pattern, source and destination bits.
uint32_t apply_rop3(uint8_t rop, uint32_t pattern, uint32_t source, uint32_t dest);
// Whether the operation's result depends on the source, or on the pattern.
bool rop_reads_source(uint8_t rop);
bool rop_reads_pattern(uint8_t rop);

} // namespace handset
