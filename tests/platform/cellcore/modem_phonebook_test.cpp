#include "cellcore/modem_phonebook.h"

#include <gtest/gtest.h>

using handset::ModemCharset;
using handset::PhonebookEntry;

namespace {

struct Sizes {
    int first, slots, digits, name, extra_digits, email;
};

Sizes sizes_of(std::string_view line) {
    auto phonebook = handset::parse_phonebook_capabilities(line);
    if (!phonebook) {
        return {-1, 0, 0, 0, 0, 0};
    }
    const auto& profile = phonebook->profile;
    return {phonebook->first_index,
            profile.slots,
            profile.number_digits,
            profile.name_bytes,
            profile.extended.additional_number_digits,
            profile.extended.email_bytes};
}

PhonebookEntry entry_of(std::string_view line, ModemCharset charset) {
    auto read = handset::parse_entry(line, charset);
    EXPECT_TRUE(read) << line;
    return read ? read->entry : PhonebookEntry{};
}

} // namespace

TEST(ModemPhonebook, TakesTheCapabilityVariantsThatModemsAnswer) {
    const struct {
        std::string_view line;
        std::array<int, 6> sizes; // first index, slots, digits, name, second number, e-mail
    } cases[] = {
        {"+CPBR: (1-250),40,14", {1, 250, 20, 14, 0, 0}},
        {"+CPBR: (1-250),40,14,0,0,0", {1, 250, 20, 14, 0, 0}},
        {"+CPBR: (1-500),20,30,10,30,60", {1, 500, 20, 30, 20, 60}},
        {"+CPBR: (501-750),40,15", {501, 250, 20, 15, 0, 0}},
        {"+CPBR: 1-100,12,18", {1, 100, 12, 18, 0, 0}},
        {"+CPBR: (1-250),50,14,,,,40,20", {1, 250, 20, 14, 0, 0}},
        {"+CPBR: (1-250),40", {1, 250, 20, 241, 0, 0}},
        {"+CPBR: (1-9999),40,14", {1, 1000, 20, 14, 0, 0}},
        {"+CPBR: (),40,14", {-1, 0, 0, 0, 0, 0}},
    };
    for (const auto& [line, expected] : cases) {
        const Sizes got = sizes_of(line);
        EXPECT_EQ((std::array<int, 6>{got.first, got.slots, got.digits, got.name, got.extra_digits,
                                      got.email}),
                  expected)
            << line;
    }
}

TEST(ModemPhonebook, ReadsNamesAndNumbersInEachCharacterSet) {
    const PhonebookEntry ucs2 =
        entry_of(R"(+CPBR: 7,"+4930123",145,"004A00F6007200670020004B")", ModemCharset::ucs2);
    EXPECT_EQ(ucs2.name, u"J\u00F6rg K");
    EXPECT_EQ(ucs2.number.text(), u"+4930123");

    // Some modems send the number in UCS2 hex as well, type 145 without the plus.
    const PhonebookEntry hex_number =
        entry_of(R"(+CPBR: 8,"0034003900330030",145,"0041")", ModemCharset::ucs2);
    EXPECT_EQ(hex_number.number.text(), u"+4930");
    // A plain number that merely looks hexadecimal is left alone.
    EXPECT_EQ(entry_of(R"(+CPBR: 9,"00491234",129,"0041")", ModemCharset::ucs2).number.text(),
              u"00491234");

    const PhonebookEntry gsm =
        entry_of("+CPBR: 3,\"112\",129,\"\\00 Caf\\05 \x1B\\65\"", ModemCharset::gsm);
    EXPECT_EQ(gsm.name, u"@ Caf\u00E9 \u20AC");
    EXPECT_EQ(entry_of(R"(+CPBR: 4,"123P4",129,"Bob")", ModemCharset::ira).number.text(), u"123p4");
}

TEST(ModemPhonebook, ReadsTheExtendedFieldsWhenPresent) {
    const PhonebookEntry entry =
        entry_of(R"(+CPBR: 2,"030111",129,"Anna",0,"","017222",145,"","anna@example.org")",
                 ModemCharset::ira);
    ASSERT_TRUE(entry.additional_number);
    EXPECT_EQ(entry.additional_number->text(), u"+017222");
    EXPECT_EQ(entry.email, u"anna@example.org");
    EXPECT_FALSE(entry_of(R"(+CPBR: 2,"030111",129,"Anna")", ModemCharset::ira).email);
}

TEST(ModemPhonebook, WritesEntriesThatCannotBreakOutOfTheCommandLine) {
    const PhonebookEntry plain{
        u"Say \"hi\"\r\nATD112;", handset::DiallingNumber::parse(u"+4930").value(), {}, {}};
    EXPECT_EQ(handset::write_command(5, plain, ModemCharset::ira, false),
              R"(AT+CPBW=5,"+4930",145,"Say \22hi\22\0D\0AATD112;")");
    EXPECT_EQ(handset::write_command(0, plain, ModemCharset::ucs2, false).value().substr(0, 25),
              R"(AT+CPBW=,"+4930",145,"005)");
    const PhonebookEntry euro{u"5\u20AC", {}, {}, {}};
    EXPECT_EQ(handset::write_command(1, euro, ModemCharset::gsm, false),
              "AT+CPBW=1,\"\",129,\"5\\1Be\"");
    EXPECT_FALSE(handset::write_command(1, euro, ModemCharset::ira, false));
    const PhonebookEntry injected{u"x", handset::DiallingNumber(u"1\";D112", 0x81), {}, {}};
    EXPECT_FALSE(handset::write_command(1, injected, ModemCharset::ira, false));
}

TEST(ModemPhonebook, WritesTheExtendedFieldsInTheirPlaces) {
    const PhonebookEntry entry{u"Anna", handset::DiallingNumber::parse(u"030").value(),
                               handset::DiallingNumber::parse(u"+49").value(), u"a@b.c"};
    EXPECT_EQ(handset::write_command(2, entry, ModemCharset::ira, true),
              R"(AT+CPBW=2,"030",129,"Anna",0,"","+49",145,"","a@b.c")");
}
