// A screen full of tree-item text repainted: the case the glyph cache exists for.
#include "gdi/screen.h"
#include "gdi/screen_dc.h"

#include <wingdi.h>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace handset;

const std::vector<std::u16string> names = {
    u"Anderson, Alice", u"Brown, Bob",        u"+44 20 7946 0958", u"Çelik, Şükrü",
    u"Dupont, Émile",   u"0171 555 0123",     u"Evans, Eve",       u"Müller, Jürgen",
    u"Nakamura, Yuki",  u"alice@example.org", u"Ünal, Özge",       u"O'Neill, Patrick",
};

// Paints every row of a tree view: background, then each item's text beside its icon.
void repaint(HDC dc, const ScreenProfile& screen, int row_height, int indent) {
    const RECT all{0, 0, screen.width, screen.height};
    FillRect(dc, &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    for (int row = 0; row * row_height < screen.height; ++row) {
        RECT line{indent * (1 + row % 2), row * row_height, screen.width, (row + 1) * row_height};
        const std::u16string& text = names[static_cast<size_t>(row) % names.size()];
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &line,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

void full_screen_of_text(benchmark::State& state, ScreenProfile profile) {
    Screen::instance().set_profile(profile);
    const HDC dc =
        create_screen_dc(POINT{0, 0}, ClipRegion(RECT{0, 0, profile.width, profile.height}));
    LOGFONTW font{};
    font.lfHeight = font_height_for_points(8);
    const HFONT selected = CreateFontIndirectW(&font);
    SelectObject(dc, selected);
    const int scale = profile.dpi / 96;
    for (auto _ : state) {
        repaint(dc, profile, 18 * scale, 28 * scale);
        benchmark::ClobberMemory();
    }
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(selected);
    release_screen_dc(dc);
}

void QvgaTreeTextRepaint(benchmark::State& state) {
    full_screen_of_text(state, ScreenProfile::qvga());
}
void VgaTreeTextRepaint(benchmark::State& state) {
    full_screen_of_text(state, ScreenProfile::vga());
}

BENCHMARK(QvgaTreeTextRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(VgaTreeTextRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
