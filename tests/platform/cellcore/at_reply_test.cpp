#include "cellcore/at_reply.h"

#include <gtest/gtest.h>

using handset::AtValue;
using Kind = handset::AtValue::Kind;

namespace {

// The values of a body, written back compactly: 12 "text" token 1-250 (..,..) and _ for empty.
std::string shape(const std::vector<AtValue>& values);

std::string shape_of(const AtValue& value) {
    switch (value.kind) {
    case Kind::empty:
        return "_";
    case Kind::number:
        return std::to_string(value.number);
    case Kind::text:
        return "\"" + value.text + "\"";
    case Kind::token:
        return value.text;
    case Kind::range:
        return std::to_string(value.number) + "-" + std::to_string(value.last);
    case Kind::list:
        return "(" + shape(value.items) + ")";
    }
    return "?";
}

std::string shape(const std::vector<AtValue>& values) {
    std::string text;
    for (const AtValue& value : values) {
        text += (text.empty() ? "" : ",") + shape_of(value);
    }
    return text;
}

std::string parsed(std::string_view body) {
    auto values = handset::parse_values(body);
    return values ? shape(*values) : "refused";
}

} // namespace

TEST(AtReply, ReadsTheValueGrammarOfInformationResponses) {
    const struct {
        std::string_view body;
        std::string_view shape;
    } cases[] = {
        {R"(12,"+4930123",145,"Anna")", R"(12,"+4930123",145,"Anna")"},
        {"(1-250),40,14", "(1-250),40,14"},
        {"1-250 , 40,14", "1-250,40,14"},
        {"(1-250),50,14,,,,40,20", "(1-250),50,14,_,_,_,40,20"},
        {R"(("SM","ME"),(0,1))", R"(("SM","ME"),(0,1))"},
        {"(0-1,4),()", "(0-1,4),()"},
        {"READY", "READY"},
        {"SIM PIN", "SIM PIN"},
        {"", "_"},
        {R"("a\22b\5Cc")", R"("a"b\c")"},
        {R"("back\slash")", R"("back\slash")"},
        {R"("Joe "J" Smith",1)", R"("Joe "J" Smith",1)"},
        {R"("open)", R"("open")"},
        {"(1-250", "refused"},
        {"(1-250)x", "refused"},
        {"((((((1))))))", "refused"},
    };
    for (const auto& [body, expected] : cases) {
        EXPECT_EQ(parsed(body), expected) << body;
    }
}

TEST(AtReply, KeepsTheLeadingZerosOfUnquotedNumbers) {
    auto values = handset::parse_values("0301234");
    ASSERT_TRUE(values);
    EXPECT_EQ(values->front().text, "0301234");
}

TEST(AtReply, FindsAResponseByItsNameWhateverTheCaseAndBlanks) {
    EXPECT_EQ(handset::response_body("+CPBR:   (1-250),40,14", "+CPBR"), "(1-250),40,14");
    EXPECT_EQ(handset::response_body("+cpbr:1", "+CPBR"), "1");
    EXPECT_FALSE(handset::response_body("+CPBS: \"SM\"", "+CPBR"));
    EXPECT_FALSE(handset::response_body("OK", "+CPBR"));
    EXPECT_EQ(handset::response_name("^RSSI: 12"), "^RSSI");
    EXPECT_EQ(handset::response_name("RING"), "");
}

TEST(AtReply, IndexBoundsSpanEveryRangeOfAList) {
    auto values = handset::parse_values("(5-9,1,12-10)");
    ASSERT_TRUE(values);
    auto bounds = handset::index_bounds(values->front());
    ASSERT_TRUE(bounds);
    EXPECT_EQ(bounds->first, 1);
    EXPECT_EQ(bounds->last, 12);
    EXPECT_FALSE(handset::index_bounds(handset::parse_values("()")->front()));
}
