#include "entry/program_runner.h"

#include <gtest/gtest.h>

namespace handset {

namespace {

ProgramOptions options_of(const std::vector<std::string>& args) {
    auto parsed = parse_program_options(args);
    if (const UsageError* error = std::get_if<UsageError>(&parsed)) {
        ADD_FAILURE() << error->message;
        return ProgramOptions{};
    }
    return std::get<ProgramOptions>(parsed);
}

std::string error_of(const std::vector<std::string>& args) {
    auto parsed = parse_program_options(args);
    return std::holds_alternative<UsageError>(parsed) ? std::get<UsageError>(parsed).message : "";
}

TEST(ProgramOptions, TakesTheHandsetsOptionsAndJoinsTheRestAsTheCommandLine) {
    const ProgramOptions options = options_of(
        {"first", "--device", "/tmp/dev", "--display", "headless", "second", "--script", "s.txt"});
    EXPECT_EQ(options.device, "/tmp/dev");
    EXPECT_EQ(options.display, ProgramDisplay::headless);
    EXPECT_EQ(options.script, "s.txt");
    EXPECT_EQ(options.command_line, u"first second");
    EXPECT_EQ(options_of({}).display, ProgramDisplay::automatic);
}

TEST(ProgramOptions, RefusesUnknownOptionsAndMissingValues) {
    EXPECT_EQ(error_of({"--verbose"}), "unknown option --verbose");
    EXPECT_EQ(error_of({"--display", "vga"}), "unknown display \"vga\"");
    EXPECT_EQ(error_of({"--device"}), "--device needs a value");
    EXPECT_EQ(error_of({"--script"}), "--script needs a value");
}

} // namespace

} // namespace handset
