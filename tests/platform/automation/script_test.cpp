#include "automation/script_runner.h"
#include "driver_fixture.h"

#include "display/png_file.h"
#include "display/shell_input.h"

#include <gmock/gmock.h>

#include <sstream>
#include <thread>

namespace handset::testing {

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

ScriptError error_of(std::string_view text) {
    auto parsed = parse_script(text);
    EXPECT_TRUE(std::holds_alternative<ScriptError>(parsed)) << text;
    return std::holds_alternative<ScriptError>(parsed) ? std::get<ScriptError>(parsed)
                                                       : ScriptError{};
}

Script script_of(std::string_view text) {
    auto parsed = parse_script(text);
    if (const ScriptError* error = std::get_if<ScriptError>(&parsed)) {
        ADD_FAILURE() << "line " << error->line << ": " << error->message;
        return Script{};
    }
    return std::get<Script>(parsed);
}

TEST(ScriptParser, ReadsEveryStepAndSkipsCommentsAndBlankLines) {
    const Script script = script_of("# a demo\n"
                                    "\n"
                                    "wait dialog \"Greeting\" within 200\n"
                                    "  tap 10 0x14\r\n"
                                    "hold id 1001\n"
                                    "key softkey1\n"
                                    "key 0x0D\n"
                                    "type \"say \\\"hi\\\"\"\n"
                                    "expect-box \"Saved\" \"Telvane\"\n"
                                    "answer\n"
                                    "screenshot out.png\n"
                                    "dump\n"
                                    "timeout 900\n");
    ASSERT_EQ(script.steps.size(), 11u);
    EXPECT_EQ(script.steps[0].line, 3);
    EXPECT_EQ(script.steps[0].window.class_name, u"#32770");
    EXPECT_EQ(script.steps[0].window.text, u"Greeting");
    EXPECT_EQ(script.steps[0].timeout, Milliseconds(200));
    EXPECT_EQ(script.steps[1].source, "tap 10 0x14");
    EXPECT_EQ(script.steps[1].point->y, 20);
    EXPECT_EQ(script.steps[2].window.id, 1001u);
    EXPECT_EQ(script.steps[3].key, static_cast<UINT>(VK_TSOFT1));
    EXPECT_EQ(script.steps[4].key, static_cast<UINT>(VK_RETURN));
    EXPECT_EQ(script.steps[5].text, u"say \"hi\"");
    EXPECT_EQ(script.steps[6].caption, u"Telvane");
    EXPECT_EQ(script.steps[8].file, "out.png");
    EXPECT_TRUE(script.steps[9].file.empty());
    EXPECT_EQ(script.steps[10].timeout, Milliseconds(900));
}

TEST(ScriptParser, NamesTheLineOfAnUnknownStep) {
    const ScriptError error = error_of("answer\n# fine\nclick 3 4\n");
    EXPECT_EQ(error.line, 3);
    EXPECT_EQ(error.message, "unknown step \"click\"");
}

TEST(ScriptParser, RefusesBadNumbers) {
    EXPECT_EQ(error_of("tap 12x 4").message, "bad number \"12x\" for the x coordinate");
    EXPECT_EQ(error_of("tap 1 -4").message, "bad number \"-4\" for the y coordinate");
    EXPECT_EQ(error_of("timeout 99999999999").message, "bad number \"99999999999\" for timeout");
    EXPECT_EQ(error_of("wait id 0x").message, "bad number \"0x\" for the window's id");
    EXPECT_EQ(error_of("key 0x1FF").message, "bad number \"0x1FF\" for key");
    EXPECT_EQ(error_of("wait \"A\" within soon").message, "bad number \"soon\" for within");
}

TEST(ScriptParser, RefusesMissingAndLeftoverArguments) {
    EXPECT_EQ(error_of("tap 5").message, "tap needs the y coordinate");
    EXPECT_EQ(error_of("screenshot").message, "screenshot needs a file name");
    EXPECT_EQ(error_of("answer now").message, "unexpected \"now\" after answer");
    EXPECT_EQ(error_of("key jump").message, "unknown key \"jump\"");
    EXPECT_EQ(error_of("type \"open").message, "a quoted text has no closing quote");
    EXPECT_THAT(error_of("wait").message, StartsWith("the step needs a window"));
    EXPECT_THAT(error_of("wait within 5").message, StartsWith("the step needs a window"));
}

TEST(ScriptParser, RefusesAnEscapeItDoesNotKnowInAQuotedText) {
    EXPECT_EQ(error_of("type \"C:\\Temp\"").message,
              "unknown escape \"\\T\" in a quoted text: only \\\", \\\\, \\n and \\t are known");
    EXPECT_EQ(error_of("answer\nexpect-box \"Saved\\r\"").line, 2);
    const Script known = script_of("type \"a\\\"b\\\\c\\nd\\te\"");
    ASSERT_EQ(known.steps.size(), 1u);
    EXPECT_EQ(known.steps[0].text, u"a\"b\\c\nd\te");
}

TEST(ScriptParser, ReportsAFolderNamedAsTheScript) {
    TemporaryFolder folder;
    auto loaded = load_script(folder.path());
    ASSERT_TRUE(std::holds_alternative<ScriptError>(loaded));
    EXPECT_EQ(std::get<ScriptError>(loaded).message,
              folder.path().string() + " is a folder, not a script");
}

TEST(ScriptParser, ReportsAScriptThatCannotBeRead) {
    auto loaded = load_script("/nonexistent/demo.txt");
    ASSERT_TRUE(std::holds_alternative<ScriptError>(loaded));
    EXPECT_EQ(describe(std::get<ScriptError>(loaded), "demo.txt"),
              "demo.txt: cannot read the script /nonexistent/demo.txt");
    EXPECT_EQ(describe(ScriptError{4, "unknown step \"x\""}, "demo.txt"),
              "demo.txt:4: unknown step \"x\"");
}

class ScriptRun : public GreetingRun {
  protected:
    ScriptOutcome run(std::string_view text) {
        return run_script(m_driver, script_of(text), m_out);
    }

    std::ostringstream m_out;
};

TEST_F(ScriptRun, OpensTheBoxAnswersItAndEndsTheProgram) {
    const std::string shot = HANDSET_SCRIPTED_SCREENSHOT;
    const RECT message = rect_of(greeting_message_id);
    const ScriptOutcome outcome = run("wait dialog \"Greeting\"\n"
                                      "tap text \"Open\"\n"
                                      "expect-box \"The button was pressed.\" \"Greeting\"\n"
                                      "answer\n"
                                      "screenshot " +
                                      shot +
                                      "\n"
                                      "dump\n"
                                      "tap id 1\n");
    EXPECT_TRUE(outcome.passed) << outcome.message;
    EXPECT_THAT(m_out.str(), HasSubstr("Static \"Hello from the fixture\""));
    const std::optional<Surface> image = read_png(shot);
    ASSERT_TRUE(image);
    // The box covered part of the dialog; repainting that part must leave the text beside it.
    expect_text_inside(*image, message);
    EXPECT_EQ(m_driver.wait_for_exit(wait_limit), greeting_exit_code);
}

TEST_F(ScriptRun, StopsAtTheFirstFailedStepSayingWhatItFound) {
    const ScriptOutcome outcome = run("tap text \"Open\"\n"
                                      "expect-box \"Saved\" within 3000\n"
                                      "answer\n");
    EXPECT_FALSE(outcome.passed);
    EXPECT_EQ(outcome.message,
              "line 2: expect-box \"Saved\" within 3000: expected a message box with text "
              "\"Saved\", found a box with text \"The button was pressed.\" and caption "
              "\"Greeting\"");
    EXPECT_EQ(open_message_boxes().size(), 1u) << "the step after the failure did not run";
    answer_message_box(open_message_boxes().front());
}

TEST_F(ScriptRun, FailsAWaitForAWindowThatNeverShows) {
    const ScriptOutcome outcome = run("timeout 50\nwait dialog text \"Other\"\n");
    EXPECT_FALSE(outcome.passed);
    EXPECT_EQ(outcome.message, "line 2: wait dialog text \"Other\": expected a visible window "
                               "with class \"#32770\" text \"Other\", found none within 50 ms");
    EXPECT_EQ(outcome.timeout, Milliseconds(50));
}

TEST_F(ScriptRun, FailsToAnswerWhenNoBoxIsOpen) {
    const ScriptOutcome outcome = run("answer within 20\n");
    EXPECT_EQ(
        outcome.message,
        "line 1: answer within 20: expected a message box to answer, found none within 20 ms");
}

TEST_F(ScriptRun, FailsAScreenshotThatCannotBeWritten) {
    const ScriptOutcome outcome = run("screenshot /nonexistent/folder/shot.png\n");
    EXPECT_EQ(outcome.message, "line 1: screenshot /nonexistent/folder/shot.png: expected a "
                               "screenshot in /nonexistent/folder/shot.png, found the file could "
                               "not be written");
}

constexpr int slow_exit_code = 7;

LRESULT CALLBACK slow_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(slow_exit_code);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// A program that works a while before its first window, as one reading a full card does.
int WINAPI slow_starting_main(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = slow_procedure;
    window_class.hInstance = instance;
    window_class.lpszClassName = u"SlowStart";
    RegisterClassW(&window_class);
    CreateWindowExW(0, u"SlowStart", u"Slow", WS_VISIBLE, 0, 0, 10, 10, HWND(), HMENU(), instance,
                    nullptr);
    MSG message;
    while (GetMessageW(&message, HWND(), 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

TEST(ScriptClose, ACloseBeforeTheProgramsFirstWindowWaitsForItAndEndsTheProgram) {
    TemporaryFolder device;
    WindowSystemInput window_system;
    ShellInput input(window_system);
    Driver driver(input);
    driver.start(&slow_starting_main, device.path());
    std::ostringstream out;
    const ScriptOutcome outcome = run_script(driver, script_of("close\n"), out);
    EXPECT_TRUE(outcome.passed) << outcome.message;
    EXPECT_EQ(driver.wait_for_exit(wait_limit), std::optional<int>(slow_exit_code));
}

} // namespace

} // namespace handset::testing
