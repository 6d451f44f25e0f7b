// What a handset program's `main` does: reads the handset's options, prepares the device and the
// display, and runs the program's entry function, or a script against it.
//
//   PROGRAM [--device DIR] [--display sdl|headless] [--script FILE] [ARGUMENT...]
//
// The arguments that are not options, joined with spaces, are the program's command line.
#pragma once

#include "automation/driver.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace handset {

enum class ProgramDisplay { automatic, sdl, headless };

struct ProgramOptions {
    std::optional<std::filesystem::path> device;
    ProgramDisplay display = ProgramDisplay::automatic;
    std::optional<std::filesystem::path> script;
    std::u16string command_line;
};

struct UsageError {
    std::string message;
};

std::variant<ProgramOptions, UsageError>
parse_program_options(const std::vector<std::string>& args);

// Exit codes: the program's own; 2 for bad options or a script that does not parse; 1 when the
// device or the display cannot be prepared, or a step of the script fails.
int run_program(int argc, char** argv, ProgramEntry entry);

} // namespace handset
