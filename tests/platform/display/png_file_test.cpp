#include "base/debug_output.h"
#include "display/png_file.h"
#include "display/screenshot.h"
#include "gdi/screen.h"
#include "gdi/screen_dc.h"
#include "gdi/wait_spinner.h"

#include <wingdi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <png.h>

#include <unistd.h>

#include <fstream>
#include <string>

namespace handset {
namespace {

class PngFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder =
            std::filesystem::temp_directory_path() / ("display-png-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::filesystem::path m_folder;
};

TEST_F(PngFiles, AnImageWrittenReadsBackPixelForPixel) {
    Surface image(5, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            image.set_pixel(x, y,
                            opaque_alpha | uint32_t(x * 50) << 16 | uint32_t(y * 100) << 8 | 7);
        }
    }
    const std::filesystem::path path = m_folder / "image.png";
    ASSERT_TRUE(write_png(path, image));
    const std::optional<Surface> back = read_png(path);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->width(), 5);
    ASSERT_EQ(back->height(), 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(back->pixel(x, y), image.pixel(x, y)) << x << "," << y;
        }
    }
}

TEST_F(PngFiles, TheFileIsAnOrdinaryRgbPng) {
    const std::filesystem::path path = m_folder / "plain.png";
    ASSERT_TRUE(write_png(path, Surface(7, 2, 0x00123456u))); // alpha is not written
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&png, path.c_str()));
    EXPECT_EQ(png.width, 7u);
    EXPECT_EQ(png.format & PNG_FORMAT_FLAG_ALPHA, 0u);
    png_image_free(&png);
    EXPECT_EQ(read_png(path)->pixel(0, 0), 0xFF123456u);
}

TEST_F(PngFiles, FailuresSayWhatWentWrong) {
    DebugCapture capture;
    EXPECT_FALSE(write_png(m_folder / "no-such-folder" / "x.png", Surface(1, 1)));
    std::ofstream(m_folder / "text.png") << "not a picture";
    EXPECT_FALSE(read_png(m_folder / "text.png"));
    EXPECT_FALSE(read_png(m_folder / "missing.png"));
    EXPECT_THAT(capture.lines(), ::testing::SizeIs(3));
    EXPECT_THAT(capture.text(), ::testing::HasSubstr("text.png"));
}

TEST_F(PngFiles, AScreenshotShowsTheScreenWithItsWaitCursor) {
    Screen::instance().set_profile(ScreenProfile::vga());
    const HDC dc = create_screen_dc(POINT{0, 0}, ClipRegion(RECT{0, 0, 480, 640}));
    const RECT all{0, 0, 480, 640};
    FillRect(dc, &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
    const RECT corner{0, 0, 10, 10};
    FillRect(dc, &corner, HBRUSH(GetStockObject(BLACK_BRUSH)));
    release_screen_dc(dc);
    Screen::instance().set_wait_cursor(true);
    const std::filesystem::path path = m_folder / "screen.png";
    ASSERT_TRUE(save_screenshot(path));
    Screen::instance().set_wait_cursor(false);
    const std::optional<Surface> shot = read_png(path);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->width(), 480);
    EXPECT_EQ(shot->height(), 640);
    EXPECT_EQ(shot->pixel(5, 5), 0xFF000000u);
    EXPECT_EQ(shot->pixel(100, 5), 0xFFFFFFFFu);
    const RECT spinner = wait_spinner_area(480, 640, 192);
    int coloured = 0;
    for (LONG y = spinner.top; y < spinner.bottom; ++y) {
        for (LONG x = spinner.left; x < spinner.right; ++x) {
            coloured += shot->pixel(x, y) != 0xFFFFFFFFu ? 1 : 0;
        }
    }
    EXPECT_GT(coloured, 200);
}

} // namespace
} // namespace handset
