#include "gdi/rect_math.h"
#include "gdi/wait_spinner.h"
#include "screen_fixture.h"

#include <atomic>
#include <thread>
#include <vector>

namespace handset {
namespace {

class ScreenOverlays : public ScreenTest {};

TEST_F(ScreenOverlays, TheWaitCursorShowsInTheCentreOverTheScreenButNotInIt) {
    const RECT spinner = wait_spinner_area(240, 320, 96);
    EXPECT_EQ((spinner.left + spinner.right) / 2, 120);
    EXPECT_EQ((spinner.top + spinner.bottom) / 2, 160);
    Screen::instance().set_wait_cursor(true);
    EXPECT_TRUE(Screen::instance().wait_cursor_shown());
    EXPECT_GT(ink(spinner), 50);
    EXPECT_EQ(ink(whole_screen()), ink(spinner));
    // The framebuffer itself is untouched: hiding the cursor needs no repaint of the windows.
    EXPECT_EQ(GetPixel(dc(), (spinner.left + spinner.right) / 2, spinner.top + 2),
              RGB(255, 255, 255));
    Screen::instance().set_wait_cursor(false);
    EXPECT_EQ(ink(whole_screen()), 0);
}

TEST_F(ScreenOverlays, TheSpinnerTurns) {
    Screen::instance().set_wait_cursor(true);
    const Surface first = Screen::instance().compose(0);
    const Surface second = Screen::instance().compose(1);
    const RECT spinner = wait_spinner_area(240, 320, 96);
    int differing = 0;
    for (LONG y = spinner.top; y < spinner.bottom; ++y) {
        for (LONG x = spinner.left; x < spinner.right; ++x) {
            differing += first.pixel(x, y) != second.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(differing, 10);
    Screen::instance().set_wait_cursor(false);
}

TEST_F(ScreenOverlays, ShowingAndHidingTheCursorReportsItsArea) {
    Screen::instance().set_wait_cursor(true);
    EXPECT_TRUE(rects_equal(Screen::instance().take_changes(), wait_spinner_area(240, 320, 96)));
    Screen::instance().set_wait_cursor(true);
    EXPECT_TRUE(rect_is_empty(Screen::instance().take_changes()));
    Screen::instance().set_wait_cursor(false);
    EXPECT_FALSE(rect_is_empty(Screen::instance().take_changes()));
}

TEST_F(ScreenOverlays, TheSpinnerGrowsWithTheScreenDensity) {
    const RECT qvga = wait_spinner_area(240, 320, 96);
    const RECT vga = wait_spinner_area(480, 640, 192);
    EXPECT_EQ(vga.right - vga.left, 2 * (qvga.right - qvga.left));
}

// Painting threads and a display thread share the screen; ThreadSanitizer watches this one.
TEST_F(ScreenOverlays, ThreadsPaintWhileTheDisplayComposes) {
    std::atomic<bool> stop{false};
    std::thread display([&] {
        while (!stop) {
            Screen::instance().compose();
            Screen::instance().take_changes();
        }
    });
    std::vector<std::thread> painters;
    for (int t = 0; t < 3; ++t) {
        painters.emplace_back([t] {
            const HDC own =
                create_screen_dc(POINT{t * 80, 0}, ClipRegion(RECT{t * 80, 0, t * 80 + 80, 320}));
            const HBRUSH brush = CreateSolidBrush(RGB(t * 100, 0, 0));
            for (int i = 0; i < 200; ++i) {
                const RECT r{0, i, 80, i + 1};
                FillRect(own, &r, brush);
                RECT text{0, 0, 80, 20};
                DrawTextW(own, u"Busy", -1, &text, DT_SINGLELINE);
            }
            DeleteObject(brush);
            release_screen_dc(own);
        });
    }
    for (std::thread& painter : painters) {
        painter.join();
    }
    stop = true;
    display.join();
    EXPECT_EQ(at(100, 150), RGB(100, 0, 0));
    EXPECT_EQ(at(200, 150), RGB(200, 0, 0));
}

} // namespace
} // namespace handset
