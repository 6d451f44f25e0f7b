// phonebook export and import: a backup of the SIM phonebook as vCards, restored through the SIM
// library into free slots within the card's limits.
#include "handsetctl_fixture.h"

#include <gmock/gmock.h>

namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

class PhonebookCards : public HandsetctlTest {
  protected:
    std::string file(const char* name) const { return (m_folder.path() / name).string(); }

    void write_cards(const char* name, const std::string& cards) const {
        m_folder.write(name, cards);
    }
};

TEST_F(PhonebookCards, ExportAndImportRestoreTheCardWithUcs2NamesAndInternationalNumbers) {
    for (const char* version : {"3.0", "4.0"}) {
        std::filesystem::remove_all(device());
        ok({"init", "--profile", "usim"});
        ok({"phonebook", "add", "Ελένη", "+306912345678", "--number2", "+302101234567"});
        ok({"phonebook", "add", "王小明", "+8613800138000", "--email", "wang@example.cn"});
        const std::string before = ok({"phonebook", "list"});
        EXPECT_THAT(ok({"phonebook", "export", file("sim.vcf"), "--version", version}),
                    HasSubstr("exported 7 entries"));
        ok({"phonebook", "clear"});
        EXPECT_THAT(ok({"phonebook", "import", file("sim.vcf")}),
                    AllOf(HasSubstr("imported 7\n"), Not(HasSubstr("skipped"))));
        EXPECT_EQ(ok({"phonebook", "list"}), before) << version;
        EXPECT_THAT(ok({"phonebook", "import", file("sim.vcf")}),
                    AllOf(HasSubstr("imported 0\n"), HasSubstr("duplicates 7\n")));
    }
}

TEST_F(PhonebookCards, WhatTheCardCannotHoldIsNamedAndOnlyShortenedWhenAsked) {
    ok({"init", "--empty"});
    write_cards("cards.vcf", "BEGIN:VCARD\nFN:Almondiblahtaim Apharsathchites\nTEL:+1-555-111\n"
                             "END:VCARD\n"
                             "BEGIN:VCARD\nFN:Παπαδοπούλου Ελένη\nTEL:+30 691 234\nEND:VCARD\n"
                             "BEGIN:VCARD\nFN:Elephant\nTEL:1 800 ELEPHANT\nEND:VCARD\n"
                             "BEGIN:VCARD\nFN:Long\nTEL:123456789012345678901\nEND:VCARD\n"
                             "BEGIN:VCARD\nFN:Ann\nTEL:(030) 123-45\nEMAIL:ann@x.org\n"
                             "END:VCARD\n");
    const Outcome refused = run({"phonebook", "import", file("cards.vcf")});
    EXPECT_EQ(refused.code, 1);
    EXPECT_THAT(
        refused.out,
        AllOf(HasSubstr("imported 1\n"), HasSubstr("skipped properties: EMAIL 1\n"),
              HasSubstr("not imported 'Almondiblahtaim Apharsathchites': the name "
                        "'Almondiblahtaim Apharsathchites' needs 31 bytes; the card holds 14"),
              HasSubstr("not imported 'Παπαδοπούλου Ελένη': the name 'Παπαδοπούλου Ελένη' "
                        "needs 37 bytes"),
              HasSubstr("not imported 'Elephant': the number '1800ELEPHANT' has characters a "
                        "number cannot have"),
              HasSubstr("not imported 'Long': the number '123456789012345678901' has 21 digits; "
                        "the card keeps 20")));
    EXPECT_THAT(ok({"phonebook", "list"}), HasSubstr("Ann                   03012345"));

    const Outcome shortened = run({"phonebook", "import", "--shorten", file("cards.vcf")});
    EXPECT_EQ(shortened.code, 1);
    EXPECT_THAT(shortened.out,
                AllOf(HasSubstr("imported 2\n"), HasSubstr("duplicates 1\n"),
                      HasSubstr("shortened 'Almondiblahtaim Apharsathchites': the name "
                                "'Almondiblahtaim Apharsathchites' needs 31 bytes; the card holds "
                                "14: shortened to 'Almondiblahtai'"),
                      HasSubstr("shortened to 'Παπαδο'"), HasSubstr("not imported 'Elephant'"),
                      HasSubstr("not imported 'Long'")));
    EXPECT_THAT(ok({"phonebook", "list"}),
                AllOf(HasSubstr("Almondiblahtai        +1555111"), HasSubstr("Παπαδο")));
}

TEST_F(PhonebookCards, AFullCardStopsTheImportNamingWhatWasNotImported) {
    ok({"init"});
    ok({"sim", "profile", "--slots", "6"});
    write_cards("three.vcf", "BEGIN:VCARD\nFN:First\nTEL:1\nEND:VCARD\n"
                             "BEGIN:VCARD\nFN:Second\nTEL:2\nEND:VCARD\n"
                             "BEGIN:VCARD\nFN:Third\nTEL:3\nEND:VCARD\n");
    const Outcome outcome = run({"phonebook", "import", file("three.vcf")});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_THAT(outcome.out, HasSubstr("imported 1\n"));
    EXPECT_THAT(outcome.err, HasSubstr("the card is full: 1 entries were imported; not imported: "
                                       "'Second', 'Third'"));
    EXPECT_THAT(ok({"phonebook", "list"}), AllOf(HasSubstr("6 of 6 slots used"), HasSubstr("First"),
                                                 Not(HasSubstr("Second"))));
}

TEST_F(PhonebookCards, ALockedCardIsAClearErrorAndNothingIsWritten) {
    ok({"init", "--empty"});
    ok({"sim", "lock", "pin"});
    write_cards("one.vcf", "BEGIN:VCARD\nFN:First\nTEL:1\nEND:VCARD\n");
    const Outcome outcome = run({"phonebook", "import", file("one.vcf")});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_THAT(outcome.err, HasSubstr("the card is locked: it needs its PIN"));
}

} // namespace
