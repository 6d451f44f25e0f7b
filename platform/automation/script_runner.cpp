#include "automation/script_runner.h"

#include "aygshell/program_close.h"
#include "base/utf.h"

#include <fstream>

namespace handset {

namespace {

struct StepFailure {
    std::string expected;
    std::string found;
};

using StepResult = std::optional<StepFailure>;

std::string in_quotes(const std::u16string& text) {
    return "\"" + utf16_to_utf8(text) + "\"";
}

std::string within_words(std::chrono::milliseconds timeout) {
    return " within " + std::to_string(timeout.count()) + " ms";
}

class StepRunner {
  public:
    StepRunner(Driver& driver, std::ostream& out) : m_driver(driver), m_out(out) {}

    std::chrono::milliseconds timeout() const { return m_timeout; }

    StepResult run(const ScriptStep& step) {
        const std::chrono::milliseconds limit = step.timeout.value_or(m_timeout);
        switch (step.kind) {
        case StepKind::wait:
            return wait(step.window, limit);
        case StepKind::idle:
            if (m_driver.wait_until_idle(limit)) {
                return std::nullopt;
            }
            return StepFailure{"the program idle", "it still busy" + within_words(limit)};
        case StepKind::tap:
        case StepKind::hold:
            return touch(step, limit);
        case StepKind::key:
            m_driver.press_key(step.key);
            return std::nullopt;
        case StepKind::type:
            m_driver.type(step.text);
            return std::nullopt;
        case StepKind::expect_box:
            return expect_box(step, limit);
        case StepKind::answer:
            return answer(limit);
        case StepKind::screenshot:
            return screenshot(step.file);
        case StepKind::dump:
            return dump(step.file);
        case StepKind::close:
            return close(limit);
        case StepKind::timeout:
            m_timeout = *step.timeout;
            return std::nullopt;
        }
        return std::nullopt;
    }

  private:
    // A close that reaches the program before its first window would find no window to ask and
    // be lost, so it waits for one, or for the program to end by itself.
    StepResult close(std::chrono::milliseconds limit) {
        if (!m_driver.wait_until([&] { return program_has_window() || !m_driver.running(); },
                                 limit)) {
            return StepFailure{"a window of the program to close", "none" + within_words(limit)};
        }
        m_driver.close_program();
        return std::nullopt;
    }

    StepResult wait(const WindowQuery& query, std::chrono::milliseconds limit) {
        if (m_driver.wait_for_window(query, limit)) {
            return std::nullopt;
        }
        return StepFailure{"a visible window with " + describe(query),
                           "none" + within_words(limit)};
    }

    StepResult touch(const ScriptStep& step, std::chrono::milliseconds limit) {
        POINT point{0, 0};
        if (step.point) {
            point = *step.point;
        } else {
            const HWND window = m_driver.wait_for_window(step.window, limit);
            const std::optional<WindowInfo> info = m_driver.read(window);
            if (!info) {
                return StepFailure{"a visible window with " + describe(step.window) + " to touch",
                                   "none" + within_words(limit)};
            }
            point = POINT{(info->rect.left + info->rect.right) / 2,
                          (info->rect.top + info->rect.bottom) / 2};
        }
        if (step.kind == StepKind::hold) {
            m_driver.hold(point);
        } else {
            m_driver.tap(point);
        }
        return std::nullopt;
    }

    static bool box_matches(const MessageBoxContent& content, const ScriptStep& step) {
        return content.text == step.text && (!step.caption || *step.caption == content.caption);
    }

    StepResult expect_box(const ScriptStep& step, std::chrono::milliseconds limit) {
        std::optional<MessageBoxContent> seen;
        const bool found = m_driver.wait_until(
            [&] {
                for (HWND box : open_message_boxes()) {
                    std::optional<MessageBoxContent> content = m_driver.message_box(box);
                    if (content && box_matches(*content, step)) {
                        return true;
                    }
                    seen = seen ? seen : content;
                }
                return false;
            },
            limit);
        if (found) {
            return std::nullopt;
        }
        std::string expected = "a message box with text " + in_quotes(step.text);
        if (step.caption) {
            expected += " and caption " + in_quotes(*step.caption);
        }
        if (!seen) {
            return StepFailure{expected, "no message box" + within_words(limit)};
        }
        return StepFailure{expected, "a box with text " + in_quotes(seen->text) + " and caption " +
                                         in_quotes(seen->caption)};
    }

    StepResult answer(std::chrono::milliseconds limit) {
        const HWND box = m_driver.wait_for_message_box(limit);
        if (!box || !m_driver.answer(box)) {
            return StepFailure{"a message box to answer", "none" + within_words(limit)};
        }
        // The box closes on its own thread; the next step should not still see it.
        if (!m_driver.wait_until([&] { return !IsWindow(box); }, limit)) {
            return StepFailure{"the answered box to close", "it still open" + within_words(limit)};
        }
        return std::nullopt;
    }

    StepResult screenshot(const std::filesystem::path& file) {
        if (m_driver.screenshot(file)) {
            return std::nullopt;
        }
        return StepFailure{"a screenshot in " + file.string(), "the file could not be written"};
    }

    StepResult dump(const std::filesystem::path& file) {
        const std::string tree = m_driver.dump();
        if (file.empty()) {
            m_out << tree;
            return std::nullopt;
        }
        std::ofstream stream(file, std::ios::binary | std::ios::trunc);
        stream << tree;
        if (!stream) {
            return StepFailure{"the window tree in " + file.string(),
                               "the file could not be written"};
        }
        return std::nullopt;
    }

    Driver& m_driver;
    std::ostream& m_out;
    std::chrono::milliseconds m_timeout = default_step_timeout;
};

} // namespace

ScriptOutcome run_script(Driver& driver, const Script& script, std::ostream& out) {
    StepRunner runner(driver, out);
    for (const ScriptStep& step : script.steps) {
        if (const StepResult failure = runner.run(step)) {
            return ScriptOutcome{false,
                                 "line " + std::to_string(step.line) + ": " + step.source +
                                     ": expected " + failure->expected + ", found " +
                                     failure->found,
                                 runner.timeout()};
        }
    }
    return ScriptOutcome{true, std::string(), runner.timeout()};
}

std::string describe(const ScriptError& error, const std::string& script_name) {
    if (error.line == 0) {
        return script_name + ": " + error.message;
    }
    return script_name + ":" + std::to_string(error.line) + ": " + error.message;
}

} // namespace handset
