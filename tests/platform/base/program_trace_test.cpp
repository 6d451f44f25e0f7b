// The debug output as the program meets it: a SIM name holding a line feed (the GSM alphabet has
// one) is traced while the main view fills, and must stay on the trace's one line instead of
// forging the next.
#include "program_driver.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

class ProgramTrace : public ProgramTest {};

TEST_F(ProgramTrace, ANameWithALineFeedIsTracedEscapedOnItsOwnLine) {
    handset::CardProfile roomy;
    roomy.name_bytes = 60;
    Card().set_profile(roomy);
    AddEntry(u"Ann\nTelvane <RD_ERROR>: forged", u"0301");
    Start();
    const std::vector<std::string> lines = m_program->debug_lines();
    EXPECT_THAT(lines, Contains(HasSubstr("Ann\\nTelvane <RD_ERROR>: forged")));
    EXPECT_THAT(lines, Not(Contains(StartsWith("Telvane <RD_ERROR>: forged"))));
    CloseProgram();
}

} // namespace
