// handsetctl sim verify: the PIN comes from standard input, never from the command line, and
// every outcome is said in words.
#include "handsetctl_fixture.h"

#include "pin_entry.h"

#include <gmock/gmock.h>

#include <fcntl.h>
#include <unistd.h>

#include <iostream>

namespace {

using ::testing::HasSubstr;

// Standard input as a test gives it, for the life of the object.
class GivenInput {
  public:
    explicit GivenInput(const std::string& text)
        : m_text(text), m_saved(std::cin.rdbuf(m_text.rdbuf())) {}
    ~GivenInput() { std::cin.rdbuf(m_saved); }
    GivenInput(const GivenInput&) = delete;
    GivenInput& operator=(const GivenInput&) = delete;

  private:
    std::istringstream m_text;
    std::streambuf* m_saved;
};

struct PinCommandTest : HandsetctlTest {
    Outcome verify(const std::string& input, std::vector<std::string> words = {"sim", "verify"}) {
        const GivenInput given(input);
        return run(std::move(words));
    }
};

TEST_F(PinCommandTest, AnUnlockedEmulatedCardAcceptsAnyWellFormedPin) {
    ok({"init", "--empty"});
    const Outcome outcome = verify("1234\n");
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "PIN accepted\n");
}

TEST_F(PinCommandTest, ALockedOrBlockedEmulatedCardIsReportedInWords) {
    ok({"init", "--empty"});
    ok({"sim", "lock", "pin"});
    EXPECT_THAT(verify("1234\n").err, HasSubstr("keeps no PIN"));
    ok({"sim", "lock", "puk"});
    const Outcome blocked = verify("1234\n");
    EXPECT_NE(blocked.code, 0);
    EXPECT_THAT(blocked.err, HasSubstr("blocked: it needs its PUK"));
}

TEST_F(PinCommandTest, RefusesAPinOnTheCommandLineAndOneThatIsNotAPin) {
    ok({"init", "--empty"});
    EXPECT_EQ(verify("", {"sim", "verify", "1234"}).code, 2) << "never as an argument";
    EXPECT_THAT(verify("12\n").err, HasSubstr("4 to 8 digits"));
    EXPECT_THAT(verify("12345678901\n").err, HasSubstr("4 to 8 digits"));
    EXPECT_THAT(verify("").err, HasSubstr("the input ended"));
    EXPECT_EQ(verify("1234", {"sim", "verify", "--last-try"}).code, 0) << "no line end needed";
}

TEST(PinEntryTest, ReadsOneLineFromInputThatIsNotATerminal) {
    const int descriptor = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(descriptor, 0);
    std::istringstream in("0000\r\nsecond line\n");
    std::ostringstream prompt;
    EXPECT_EQ(handsetctl::read_pin(in, descriptor, prompt), "0000");
    EXPECT_EQ(prompt.str(), "") << "no prompt where nobody reads it";
    ::close(descriptor);
}

} // namespace
