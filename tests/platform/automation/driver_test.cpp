#include "driver_fixture.h"

#include "display/png_file.h"
#include "gdi/surface.h"

#include <gmock/gmock.h>

namespace handset::testing {

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

TEST_F(GreetingRun, ReadsTheDialogsControlsAsTheProgramMadeThem) {
    const std::optional<WindowInfo> message = m_driver.read(GetDlgItem(m_dialog, 1000));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->class_name, u"Static");
    EXPECT_EQ(message->text, u"Hello from the fixture");
    EXPECT_EQ(message->id, greeting_message_id);
    EXPECT_TRUE(message->visible);
    EXPECT_GT(message->rect.right, message->rect.left);

    const HWND open = m_driver.find(WindowQuery{u"button", u"open", std::nullopt});
    EXPECT_EQ(open, GetDlgItem(m_dialog, static_cast<int>(greeting_open_id)));
    EXPECT_TRUE(m_driver.read(open)->enabled);

    EXPECT_THAT(m_driver.dump(), HasSubstr("#32770 \"Greeting\""));
    EXPECT_THAT(m_driver.dump(), HasSubstr("\n  Button \"Open\" id=1001"));
}

TEST_F(GreetingRun, TapsAButtonThatOpensAMessageBoxAndAnswersIt) {
    m_driver.tap(centre_of(greeting_open_id));
    const HWND box = m_driver.wait_for_message_box(wait_limit);
    ASSERT_TRUE(box);
    const std::optional<MessageBoxContent> content = m_driver.message_box(box);
    ASSERT_TRUE(content);
    EXPECT_EQ(content->text, u"The button was pressed.");
    EXPECT_EQ(content->caption, u"Greeting");
    EXPECT_EQ(content->style, static_cast<UINT>(MB_OK | MB_ICONASTERISK));

    EXPECT_TRUE(m_driver.answer(box));
    EXPECT_TRUE(m_driver.wait_until([&] { return !IsWindow(box); }, wait_limit));
    EXPECT_TRUE(IsWindowVisible(m_dialog));
    EXPECT_FALSE(m_driver.answer(m_dialog)) << "a dialog is no message box";

    m_driver.tap(centre_of(IDOK));
    EXPECT_EQ(m_driver.wait_for_exit(wait_limit), greeting_exit_code);
}

TEST_F(GreetingRun, ScreenshotShowsTheDialogsTextInsideItsControl) {
    const TemporaryFolder shots;
    ASSERT_TRUE(m_driver.screenshot(shots.path() / "greeting.png"));
    const std::optional<Surface> image = read_png(shots.path() / "greeting.png");
    ASSERT_TRUE(image);

    expect_text_inside(*image, rect_of(greeting_message_id));
}

TEST_F(GreetingRun, WaitsGiveUpWhenNothingShows) {
    EXPECT_FALSE(m_driver.wait_for_window(WindowQuery{std::nullopt, u"Nowhere", std::nullopt},
                                          Milliseconds(50)));
    EXPECT_FALSE(m_driver.wait_for_message_box(Milliseconds(50)));
    EXPECT_FALSE(m_driver.wait_for_exit(Milliseconds(0)));
    EXPECT_TRUE(m_driver.running());
}

TEST_F(GreetingRun, KeepsWhatTheProgramWroteToTheDebugOutput) {
    EXPECT_THAT(m_driver.debug_lines(), Contains("greeting: started"));
}

TEST_F(GreetingRun, HiddenControlsAreNotFoundButStillRead) {
    const HWND open = GetDlgItem(m_dialog, static_cast<int>(greeting_open_id));
    ShowWindow(open, SW_HIDE);
    EXPECT_FALSE(m_driver.find(WindowQuery{std::nullopt, u"Open", std::nullopt}));
    EXPECT_FALSE(m_driver.read(open)->visible);
    EXPECT_THAT(m_driver.dump(), HasSubstr("\"Open\" id=1001"));
}

} // namespace

} // namespace handset::testing
