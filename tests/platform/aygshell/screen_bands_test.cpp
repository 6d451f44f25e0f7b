#include "shell_fixture.h"

#include "aygshell/screen_bands.h"

using handset::ScreenBands;
using handset::ScreenProfile;

TEST(ScreenBands, PortraitQvgaHasTheDeviceBandHeights) {
    const ScreenBands bands = ScreenBands::of(ScreenProfile::qvga());
    expect_rect(bands.task_bar, 0, 0, 240, 26);
    expect_rect(bands.menu_bar, 0, 294, 240, 320);
    expect_rect(bands.input_panel, 0, 214, 240, 294);
    expect_rect(bands.desktop, 0, 26, 240, 294);
}

TEST(ScreenBands, VgaDoublesEveryBand) {
    const ScreenBands bands = ScreenBands::of(ScreenProfile::vga());
    expect_rect(bands.task_bar, 0, 0, 480, 52);
    expect_rect(bands.menu_bar, 0, 588, 480, 640);
    expect_rect(bands.input_panel, 0, 428, 480, 588);
}

TEST(ScreenBands, TheRaisedPanelShortensTheVisibleDesktopAndNothingElse) {
    const ScreenBands bands = ScreenBands::of(ScreenProfile::qvga());
    expect_rect(bands.visible_desktop(false), 0, 26, 240, 294);
    expect_rect(bands.visible_desktop(true), 0, 26, 240, 214);
}

TEST(ScreenBands, ALandscapeScreenGetsWiderFlatterBands) {
    ScreenProfile landscape = ScreenProfile::qvga();
    std::swap(landscape.width, landscape.height);
    const ScreenBands bands = ScreenBands::of(landscape);
    expect_rect(bands.task_bar, 0, 0, 320, 26);
    expect_rect(bands.menu_bar, 0, 214, 320, 240);
    expect_rect(bands.visible_desktop(true), 0, 26, 320, 134);
}
