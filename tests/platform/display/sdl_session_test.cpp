#include "../base/scoped_environment.h"
#include "base/debug_output.h"
#include "display/display_session.h"

#include <gmock/gmock.h>

using handset::DisplayKind;
using handset::DisplaySession;
using handset::InputEvent;
using testing::HasSubstr;

namespace {

struct CountingSink : handset::InputSink {
    void deliver(const InputEvent&) override { ++delivered; }
    int delivered = 0;
};

} // namespace

TEST(DisplaySession, WithoutADesktopOneLineSaysToRunHeadless) {
    ScopedEnvironment environment;
    environment.clear("DISPLAY");
    environment.clear("WAYLAND_DISPLAY");
    environment.set("SDL_VIDEODRIVER", "x11");
    CountingSink window_system;
    // The display's own reason goes to the debug output, which is standard error here too.
    handset::DebugCapture reason;
    testing::internal::CaptureStderr();
    const std::unique_ptr<DisplaySession> session =
        DisplaySession::open(DisplayKind::window, window_system);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(session, nullptr);
    EXPECT_THAT(said, HasSubstr("--display headless"));
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
    EXPECT_THAT(reason.text(), HasSubstr("SDL display"));
}

TEST(DisplaySession, HeadlessInputPassesTheShellOnToTheWindowSystem) {
    CountingSink window_system;
    const std::unique_ptr<DisplaySession> session =
        DisplaySession::open(DisplayKind::headless, window_system);
    ASSERT_NE(session, nullptr);
    ASSERT_NE(session->headless(), nullptr);
    InputEvent tap{InputEvent::Kind::stylus_down};
    EXPECT_TRUE(session->headless()->inject(tap));
    InputEvent letter{InputEvent::Kind::character};
    letter.character = u'a';
    EXPECT_TRUE(session->headless()->inject(letter));
    EXPECT_EQ(window_system.delivered, 2);
}
