// The controls dialog worked by a plain-text script at each screen profile: a tap on an item's
// check box checks it, a tap on a label only selects, the right soft key opens its popup, and the
// screenshot taken meanwhile is kept in the test's build folder (the working directory).
#include "automation/script_runner.h"
#include "controls_program.h"
#include "display/png_file.h"
#include "display/shell_input.h"
#include "driver_fixture.h"
#include "gdi/screen.h"

#include <gmock/gmock.h>

#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

namespace handset::testing {

namespace {

struct ControlsProfile {
    const char* name;
    ScreenProfile screen;
};

std::string shot_of(const ControlsProfile& profile) {
    return std::string("controls_") + profile.name + ".png";
}

class ControlsScript : public ::testing::TestWithParam<ControlsProfile> {
  protected:
    void SetUp() override {
        Screen::instance().set_profile(GetParam().screen);
        m_driver.start(&controls_main, m_device.path());
    }

    void TearDown() override {
        if (const HWND dialog = controls_dialog()) {
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }
        EXPECT_EQ(m_driver.wait_for_exit(wait_limit), controls_exit_code);
        Screen::instance().set_profile(ScreenProfile::qvga());
    }

    ScriptOutcome run_fixture_script() {
        const std::string path = (std::filesystem::path(HANDSET_CONTROLS_SCRIPTS) /
                                  ("controls_" + std::string(GetParam().name) + ".txt"))
                                     .string();
        auto loaded = load_script(path);
        if (const ScriptError* error = std::get_if<ScriptError>(&loaded)) {
            return ScriptOutcome{false, describe(*error, path), Milliseconds(0)};
        }
        return run_script(m_driver, std::get<Script>(loaded), m_out);
    }

    HWND controls_dialog() const {
        return m_driver.find(WindowQuery{u"#32770", u"Controls", std::nullopt});
    }
    HWND tree() const { return GetDlgItem(controls_dialog(), controls_tree_id); }

    std::vector<HTREEITEM> items() const {
        std::vector<HTREEITEM> found;
        auto item =
            HTREEITEM(static_cast<uint32_t>(SendMessageW(tree(), TVM_GETNEXTITEM, TVGN_ROOT, 0)));
        while (item) {
            found.push_back(item);
            item = HTREEITEM(static_cast<uint32_t>(SendMessageW(
                tree(), TVM_GETNEXTITEM, TVGN_NEXT, static_cast<LPARAM>(item.value()))));
        }
        return found;
    }

    int image_of(HTREEITEM item) const {
        TVITEMW record{};
        record.mask = TVIF_HANDLE | TVIF_IMAGE;
        record.hItem = item;
        SendMessageW(tree(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&record));
        return record.iImage;
    }

    HTREEITEM selected() const {
        return HTREEITEM(
            static_cast<uint32_t>(SendMessageW(tree(), TVM_GETNEXTITEM, TVGN_CARET, 0)));
    }

    // Whether the check mark's colour shows in the item's row left of its label, where its image
    // is drawn.
    bool shows_check_mark(const Surface& shot, HTREEITEM item) const {
        RECT label{};
        std::memcpy(&label, &item, sizeof(item));
        SendMessageW(tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label));
        POINT origin{0, 0};
        ClientToScreen(tree(), &origin);
        for (LONG y = label.top; y < label.bottom; ++y) {
            for (LONG x = 0; x < label.left; ++x) {
                if (colorref_from_pixel(shot.pixel(origin.x + x, origin.y + y)) == check_colour) {
                    return true;
                }
            }
        }
        return false;
    }

    TemporaryFolder m_device;
    WindowSystemInput m_window_system;
    ShellInput m_input{m_window_system};
    Driver m_driver{m_input};
    std::ostringstream m_out;
};

TEST_P(ControlsScript, ChecksByTheImageSelectsByTheLabelAndOpensTheRightKeysPopup) {
    const ScriptOutcome outcome = run_fixture_script();
    ASSERT_TRUE(outcome.passed) << outcome.message;

    const std::vector<HTREEITEM> entries = items();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(image_of(entries[0]), unchecked_image);
    EXPECT_EQ(image_of(entries[1]), checked_image) << "the tap on Bravo's box checks it";
    EXPECT_EQ(image_of(entries[2]), unchecked_image) << "the tap on Charlie's label leaves it";
    EXPECT_EQ(selected(), entries[2]) << "the tap on Charlie's label selects it";

    const std::optional<Surface> shot = read_png(shot_of(GetParam()));
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->width(), GetParam().screen.width);
    EXPECT_FALSE(shows_check_mark(*shot, entries[0]));
    EXPECT_TRUE(shows_check_mark(*shot, entries[1]));
    EXPECT_FALSE(shows_check_mark(*shot, entries[2]));
    EXPECT_THAT(m_out.str(), ::testing::HasSubstr("#32768"))
        << "the popup was open when the script dumped the windows";
}

INSTANTIATE_TEST_SUITE_P(AtEachScreen, ControlsScript,
                         ::testing::Values(ControlsProfile{"qvga", ScreenProfile::qvga()},
                                           ControlsProfile{"vga", ScreenProfile::vga()}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace handset::testing
