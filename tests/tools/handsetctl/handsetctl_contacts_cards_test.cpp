// contacts import and export, on the real vCard files that Debian's packages carry.
#include "handsetctl_fixture.h"

#include "base/utf.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace {

using handset::ContactField;
using handset::ContactRecord;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

const std::filesystem::path evolution_cards =
    "/usr/libexec/evolution-data-server/installed-tests/vcards";
const std::filesystem::path rolo_cards = "/usr/share/doc/rolo/examples/contacts.vcf";

std::vector<std::string> evolution_files() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(evolution_cards)) {
        if (entry.path().extension() == ".vcf") {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

struct Expected {
    std::u16string file_as;
    ContactField field;
    std::u16string value;
};

class ContactCards : public HandsetctlTest {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists(evolution_cards) || !std::filesystem::exists(rolo_cards)) {
            GTEST_SKIP() << "scripts/bootstrap installs the vCard files of "
                            "evolution-data-server-tests and rolo";
        }
        ok({"init", "--empty"});
    }

    Outcome import(std::vector<std::string> files) {
        files.insert(files.begin(), {"contacts", "import"});
        return run(files);
    }

    const ContactRecord* find(const std::vector<ContactRecord>& all, const std::u16string& name) {
        const auto found = std::find_if(
            all.begin(), all.end(), [&](const ContactRecord& c) { return c.file_as() == name; });
        return found == all.end() ? nullptr : &*found;
    }

    void expect_holds(const std::vector<Expected>& expected) {
        const std::vector<ContactRecord> all = contacts();
        for (const Expected& want : expected) {
            const ContactRecord* contact = find(all, want.file_as);
            ASSERT_NE(contact, nullptr) << handset::utf16_to_utf8(want.file_as);
            EXPECT_EQ((*contact)[want.field], want.value) << handset::utf16_to_utf8(want.file_as);
        }
    }
};

std::vector<std::vector<std::u16string>> fields_of(const std::vector<ContactRecord>& contacts) {
    std::vector<std::vector<std::u16string>> fields;
    for (const ContactRecord& contact : contacts) {
        fields.emplace_back(contact.fields.begin(), contact.fields.end());
    }
    return fields;
}

TEST_F(ContactCards, EveryEvolutionFileIsImportedWithItsNamesAndNumbers) {
    const std::vector<std::string> files = evolution_files();
    ASSERT_EQ(files.size(), 40u);
    const Outcome outcome = import(files);
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_THAT(outcome.out,
                AllOf(HasSubstr("imported 40\n"), HasSubstr("duplicates 0\n"), HasSubstr(" UID 39"),
                      HasSubstr(" X-MOZILLA-HTML 1"), HasSubstr(" PHOTO 1"), HasSubstr(" LOGO 1")));
    EXPECT_EQ(contacts().size(), 40u);
    expect_holds({
        {u"Jackson, Micheal", ContactField::home_telephone, u"+1-221-5423789"},
        {u"Jackson, Micheal", ContactField::email1, u"micheal@jackson.com"},
        {u"Brown, Big Bobby", ContactField::business_telephone, u"+9999999"},
        {u"Müller, First Name", ContactField::home_telephone, u"514-845-8436"},
        {u"Name, %Stran_ge", ContactField::home_telephone, u"ask Jenny for Lisa's number"},
        {u"Janet", ContactField::home_telephone, u"7654321"},
        {u"logo", ContactField::email1, u"logo@no.where"},
        {u"Doe, John", ContactField::mobile_telephone, u""},
    });
}

TEST_F(ContactCards, TheRoloFileKeepsThePreferredOfEachKindAndCountsTheRest) {
    const Outcome outcome = import({rolo_cards.string()});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    // Four fax numbers and Frank Dawson's second e-mail address have no place in the store.
    EXPECT_THAT(outcome.out,
                AllOf(HasSubstr("imported 27\n"), HasSubstr(" TEL 4"), HasSubstr(" EMAIL 1"),
                      HasSubstr(" ORG 4"), HasSubstr(" N prefix or suffix 2")));
    EXPECT_EQ(contacts().size(), 27u);
    expect_holds({
        {u"Dawson, Frank", ContactField::business_telephone, u"+1-919-676-9515"},
        {u"Dawson, Frank", ContactField::email1, u"Frank_Dawson@Lotus.com"},
        {u"Friday, Fred", ContactField::business_telephone, u"+1-213-555-1234"},
        {u"Martin, Stephen", ContactField::home_telephone, u"+1 (210) 555-1357"},
        {u"Reagan, Nancy", ContactField::nickname, u"The Boss"},
        {u"Kirk, James T.", ContactField::mobile_telephone, u"+123-4567-39492"},
        {u"Burger King", ContactField::mobile_telephone, u"+1-284-555-2212"},
    });
}

TEST_F(ContactCards, ImportingAFileAgainReportsDuplicatesInsteadOfAddingThem) {
    ok({"contacts", "import", rolo_cards.string()});
    EXPECT_THAT(ok({"contacts", "import", rolo_cards.string()}),
                AllOf(HasSubstr("imported 0\n"), HasSubstr("duplicates 27\n")));
    EXPECT_EQ(contacts().size(), 27u);
}

TEST_F(ContactCards, ExportThenImportIntoAnEmptyDeviceGivesTheSameStore) {
    std::vector<std::string> files = evolution_files();
    files.push_back(rolo_cards.string());
    import(files);
    ok({"contacts", "add", "--first", "Ελένη", "--last", "Παπαδοπούλου, Jr.; \\ x", "--mobile",
        "+306912345678"});
    const auto stored = fields_of(contacts());
    ASSERT_EQ(stored.size(), 68u);
    for (const char* version : {"3.0", "4.0"}) {
        const std::string exported = (m_folder.path() / "exported.vcf").string();
        EXPECT_THAT(ok({"contacts", "export", exported, "--version", version}),
                    HasSubstr("exported 68 contacts"));
        EXPECT_THAT(m_folder.read("exported.vcf"), HasSubstr(std::string("VERSION:") + version));
        std::filesystem::remove_all(device());
        ok({"init", "--empty"});
        EXPECT_THAT(ok({"contacts", "import", exported}), HasSubstr("imported 68\n"));
        EXPECT_EQ(fields_of(contacts()), stored) << version;
    }
}

TEST_F(ContactCards, ABrokenCardIsNamedByFileAndLineAndTheRestImported) {
    m_folder.write("broken.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Good;Ann\r\nEND:VCARD\r\n"
                                 "BEGIN:VCARD\r\nN:Bad;Bob\r\nno colon here\r\nEND:VCARD\r\n"
                                 "BEGIN:VCARD\r\nNOTE:nothing to keep\r\nEND:VCARD\r\n");
    const std::string file = (m_folder.path() / "broken.vcf").string();
    const Outcome outcome = import({file});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_THAT(outcome.out,
                AllOf(HasSubstr("imported 1\n"),
                      HasSubstr("broken card " + file + ":7: the card from line 5: line 7"),
                      HasSubstr("broken card " + file + ":9: the card from line 9 has no name")));
    EXPECT_THAT(outcome.err, HasSubstr("some cards were not imported"));
    EXPECT_EQ(contacts().size(), 1u);
}

TEST_F(ContactCards, AFullStoreImportsNothingAndSaysSo) {
    ok({"contacts", "quota", "1"});
    std::vector<std::string> files = evolution_files();
    files.push_back(rolo_cards.string());
    const Outcome outcome = import(files);
    EXPECT_EQ(outcome.code, 1);
    EXPECT_THAT(outcome.err, HasSubstr("the contacts store is full: none of the 67 new contacts"));
    EXPECT_THAT(outcome.out, Not(HasSubstr("imported")));
    EXPECT_TRUE(contacts().empty());
}

TEST_F(ContactCards, ExportToStandardOutputWritesOnlyTheCards) {
    ok({"contacts", "add", "--first", "Ann", "--mobile", "0170"});
    EXPECT_EQ(ok({"contacts", "export", "-", "--version", "4.0"}),
              "BEGIN:VCARD\r\nVERSION:4.0\r\nN:;Ann;;;\r\nFN:Ann\r\n"
              "TEL;VALUE=uri;TYPE=cell:tel:0170\r\nEND:VCARD\r\n");
}

} // namespace
