// What handsetctl card serve refuses before it serves anything: it needs the virtual reader named,
// and a PIN file that holds a PIN.
#include "handsetctl_fixture.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

class CardServeCommandTest : public HandsetctlTest {
  protected:
    void SetUp() override { ok({"init", "--empty"}); }
};

TEST_F(CardServeCommandTest, RefusesToServeWithoutAReaderOrWithAnAddressThatNamesNoPort) {
    EXPECT_EQ(run({"card", "serve"}).code, 2);
    EXPECT_EQ(run({"card", "show"}).code, 2);
    const Outcome wrong = run({"card", "serve", "--vpcd", "localhost:"});
    EXPECT_EQ(wrong.code, 2);
    EXPECT_THAT(wrong.err, HasSubstr("[[HOST:]PORT]"));
}

TEST_F(CardServeCommandTest, RefusesAPinFileWithoutFourToEightDigitsOnItsFirstLine) {
    for (const char* content : {"123\n", "123456789\n", "12a4\n", "\n1234\n"}) {
        m_folder.write("pin", content);
        const Outcome refused =
            run({"card", "serve", "--vpcd", "1", "--pin-file", (m_folder.path() / "pin").string()});
        EXPECT_EQ(refused.code, 1) << content;
        EXPECT_THAT(refused.err, HasSubstr("4 to 8 digits")) << content;
    }
    EXPECT_EQ(
        run({"card", "serve", "--vpcd", "1", "--pin-file", (m_folder.path() / "missing").string()})
            .code,
        1);
}
