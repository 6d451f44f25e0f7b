// The automation script: plain text, one step per line (the language is described in README.md).
// A script is parsed whole before it runs, so that a mistake on its last line stops it before its
// first step has touched the program.
#pragma once

#include "automation/window_reader.h"

#include <winuser.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace handset {

inline constexpr std::chrono::milliseconds default_step_timeout{5000};

enum class StepKind {
    wait,
    idle,
    tap,
    hold,
    key,
    type,
    expect_box,
    answer,
    screenshot,
    dump,
    close,
    timeout
};

struct ScriptStep {
    int line = 0;
    // The line as written, without its surrounding blanks, for messages.
    std::string source;
    StepKind kind = StepKind::wait;
    // tap and hold name either a point or a window (its centre); wait names a window.
    std::optional<POINT> point;
    WindowQuery window;
    // expect-box: the text and, when given, the caption; type: the text.
    std::u16string text;
    std::optional<std::u16string> caption;
    UINT key = 0;
    // screenshot and dump; dump without a file writes to standard output.
    std::filesystem::path file;
    // wait and expect-box with "within MS"; timeout sets the default for the steps after it.
    std::optional<std::chrono::milliseconds> timeout;
};

struct Script {
    std::vector<ScriptStep> steps;
};

struct ScriptError {
    int line = 0; // 0: the script file itself could not be read
    std::string message;
};

std::variant<Script, ScriptError> parse_script(std::string_view text);
std::variant<Script, ScriptError> load_script(const std::filesystem::path& path);

} // namespace handset
