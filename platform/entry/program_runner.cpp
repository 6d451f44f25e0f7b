#include "entry/program_runner.h"

#include "automation/script_runner.h"
#include "automation/window_input.h"
#include "base/device_folder.h"
#include "base/utf.h"
#include "display/display_session.h"
#include "display/shell_input.h"
#include "entry/device_preparation.h"
#include "user/peer_service.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace handset {

namespace {

constexpr const char* usage_line =
    "usage: %s [--device DIR] [--display sdl|headless] [--script FILE] [ARGUMENT...]\n";

std::optional<ProgramDisplay> display_named(const std::string& name) {
    if (name == "sdl") {
        return ProgramDisplay::sdl;
    }
    if (name == "headless") {
        return ProgramDisplay::headless;
    }
    return std::nullopt;
}

// The desktop window when there is a desktop to show it on.
DisplayKind display_kind(ProgramDisplay display) {
    switch (display) {
    case ProgramDisplay::sdl:
        return DisplayKind::window;
    case ProgramDisplay::headless:
        return DisplayKind::headless;
    case ProgramDisplay::automatic:
        break;
    }
    const bool desktop = std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY");
    return desktop ? DisplayKind::window : DisplayKind::headless;
}

// Ends the process with the program still running on its thread: nothing can end that thread
// from outside, and running the static destructors under it would pull its state away.
[[noreturn]] void leave_running_program(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

int run_with_script(Driver& driver, const Script& script) {
    const ScriptOutcome outcome = run_script(driver, script, std::cout);
    if (!outcome.passed) {
        std::fprintf(stderr, "%s\n", outcome.message.c_str());
        leave_running_program(1);
    }
    if (const std::optional<int> code = driver.wait_for_exit(outcome.timeout)) {
        return *code;
    }
    std::fprintf(stderr, "the program did not end within %lld ms after the script's last step\n",
                 static_cast<long long>(outcome.timeout.count()));
    leave_running_program(1);
}

int run_to_end(Driver& driver) {
    while (true) {
        if (const std::optional<int> code = driver.wait_for_exit(Milliseconds(60000))) {
            return *code;
        }
    }
}

} // namespace

std::variant<ProgramOptions, UsageError>
parse_program_options(const std::vector<std::string>& args) {
    ProgramOptions options;
    std::vector<std::string> rest;
    for (size_t at = 0; at < args.size(); ++at) {
        const std::string& arg = args[at];
        const bool takes_value = arg == "--device" || arg == "--display" || arg == "--script";
        if (takes_value && at + 1 == args.size()) {
            return UsageError{arg + " needs a value"};
        }
        if (arg == "--device") {
            options.device = args[++at];
        } else if (arg == "--display") {
            const std::optional<ProgramDisplay> display = display_named(args[++at]);
            if (!display) {
                return UsageError{"unknown display \"" + args[at] + "\""};
            }
            options.display = *display;
        } else if (arg == "--script") {
            options.script = args[++at];
        } else if (arg.starts_with("-")) {
            return UsageError{"unknown option " + arg};
        } else {
            rest.push_back(arg);
        }
    }
    std::string line;
    for (const std::string& word : rest) {
        line += (line.empty() ? "" : " ") + word;
    }
    options.command_line = utf8_to_utf16(line);
    return options;
}

int run_program(int argc, char** argv, ProgramEntry entry) {
    const char* name = argc > 0 ? argv[0] : "program";
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    const auto parsed = parse_program_options(args);
    if (const UsageError* error = std::get_if<UsageError>(&parsed)) {
        std::fprintf(stderr, "%s: %s\n", name, error->message.c_str());
        std::fprintf(stderr, usage_line, name);
        return 2;
    }
    const ProgramOptions& options = std::get<ProgramOptions>(parsed);

    std::optional<Script> script;
    if (options.script) {
        auto loaded = load_script(*options.script);
        if (const ScriptError* error = std::get_if<ScriptError>(&loaded)) {
            std::fprintf(stderr, "%s\n", describe(*error, options.script->string()).c_str());
            return 2;
        }
        script = std::move(std::get<Script>(loaded));
    }

    if (options.device) {
        set_device_folder(*options.device);
    }
    if (!prepare_device()) {
        std::fprintf(stderr, "%s: no device in %s\n", name, device_folder().string().c_str());
        return 1;
    }
    WindowSystemInput window_system;
    std::unique_ptr<DisplaySession> display =
        DisplaySession::open(display_kind(options.display), window_system);
    if (!display) {
        return 1;
    }
    PeerService peers;
    // The driver's input takes the path a display's input takes: the shell first.
    ShellInput input(window_system);
    Driver driver(input, false);
    driver.start(entry, device_folder(), options.command_line);
    return script ? run_with_script(driver, *script) : run_to_end(driver);
}

} // namespace handset
