// Runs a parsed script against a program through the automation driver, step by step, and stops
// at the first step that fails with a message saying where, what was expected and what was found.
#pragma once

#include "automation/driver.h"
#include "automation/script.h"

#include <ostream>

namespace handset {

struct ScriptOutcome {
    bool passed = true;
    // For a failed step: "line N: STEP: expected ..., found ...".
    std::string message;
    // The wait that was in force when the script ended (its timeout steps change it).
    std::chrono::milliseconds timeout = default_step_timeout;
};

// `dump` without a file writes to `out`.
ScriptOutcome run_script(Driver& driver, const Script& script, std::ostream& out);

// "NAME:LINE: message", or "NAME: message" for an error of the file itself.
std::string describe(const ScriptError& error, const std::string& script_name);

} // namespace handset
