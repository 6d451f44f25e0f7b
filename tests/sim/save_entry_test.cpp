#include "faulty_card.h"
#include "program_driver.h"
#include "shell/resources.h"
#include "sim/save_entry.h"
#include "sim/sim_access.h"
#include "sim/usim.h"
#include "test_device.h"
#include "user/message_box.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

std::function<int()> g_save;

// The save runs as a program of the handset, on a thread of its own, so that an error box it
// shows can be read and answered as a person would.
int WINAPI SaveProgram(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    RC_LoadMUI(hInstance);
    int iResult = g_save();
    SIM_Release();
    RC_FreeMUI();
    return iResult;
}

ENTRYFIELDS Fields(std::u16string_view name, std::u16string_view number,
                   std::u16string_view number2 = u"", std::u16string_view email = u"") {
    ENTRYFIELDS fields;
    memset(&fields, 0, sizeof(fields));
    name.copy(fields.szName, ENTRYFIELD_SIZE - 1);
    number.copy(fields.szNumber, ENTRYFIELD_SIZE - 1);
    number2.copy(fields.szNumber2, ENTRYFIELD_SIZE - 1);
    email.copy(fields.szEmail, ENTRYFIELD_SIZE - 1);
    return fields;
}

handset::CardProfile Profile(int name_bytes, int number_digits = 20) {
    handset::CardProfile profile;
    profile.name_bytes = name_bytes;
    profile.number_digits = number_digits;
    return profile;
}

struct Outcome {
    int result = 0;
    // The text of the error box the save showed, empty when it showed none.
    std::u16string message;
};

const std::u16string kNeedNumber = u"SIM contacts must include a phone number.";
const std::u16string kNeedMobileNumber =
    u"SIM contacts must include a mobile phone number. Enter a mobile phone number and try again.";
const std::u16string kNameTooLong =
    u"The SIM contact name is too long. Shorten the name and try again.";
const std::u16string kUnknownError = u"SIM card error is unknown.";

class SaveEntryTest : public ::testing::Test {
  protected:
    void UseCard(const handset::CardProfile& profile) { m_device.card(profile); }

    void SwitchExtendedOn() {
        m_device.set_dword(u"Software\\Nemora\\Telvane\\", u"USIMSupport", 1);
    }

    Outcome Save(std::function<int()> save) {
        g_save = std::move(save);
        ProgramDriver program;
        program.driver().start(SaveProgram, m_device.folder());
        Outcome outcome;
        program->wait_until(
            [&] { return !program->running() || !handset::open_message_boxes().empty(); },
            kProgramWait);
        if (!handset::open_message_boxes().empty()) {
            outcome.message = program.answer_box().text;
        }
        outcome.result = program.exit_code().value_or(-99);
        return outcome;
    }

    Outcome SaveNew(ENTRYFIELDS& fields, int strict = 1) {
        return Save([&] { return SIM_SaveEntry(SIM_INDEX_FIRSTFREE, &fields, strict, nullptr); });
    }

    Outcome SaveNewExtended(ENTRYFIELDS& fields, int strict = 1) {
        return Save([&] { return USIM_SaveEntry(SIM_INDEX_FIRSTFREE, &fields, strict, nullptr); });
    }

    std::vector<handset::StoredEntry> Entries() {
        return handset::CardFile::open(m_device.folder() / "sim.db").entries();
    }

    TestDevice m_device;
};

} // namespace

TEST(NumberFilter, KeepsOnlyTheCharactersASimNumberHoldsInTheirOrder) {
    WCHAR filtered[ENTRYFIELD_SIZE] = {};
    SIM_FilterNumber(u"+49 (030) 123-45 p6*#x", filtered);
    EXPECT_EQ(std::u16string(filtered), u"+4903012345p6*#");
    SIM_FilterNumber(nullptr, filtered);
    EXPECT_EQ(std::u16string(filtered), u"+4903012345p6*#");
    EXPECT_EQ(SIM_HasDigit(u"p*#"), 0);
    EXPECT_EQ(SIM_HasDigit(nullptr), 0);
    EXPECT_EQ(SIM_HasDigit(u"p1"), 1);
}

TEST(GsmAlphabet, TellsNamesThatNeedUcs2FromThoseThatDoNot) {
    EXPECT_EQ(SIM_IsNonGsmChar(u'{'), 0);
    EXPECT_EQ(SIM_IsNonGsmChar(u'\u00E9'), 0); // é
    EXPECT_EQ(SIM_IsNonGsmChar(u'\u00EB'), 1); // ë
    EXPECT_EQ(SIM_IsNonGsmChar(u'\u00A0'), 1);
    EXPECT_EQ(SIM_IsUCS2Name(u"Jos\u00E9"), 0);
    EXPECT_EQ(SIM_IsUCS2Name(u"Zo\u00EB"), 1);
    EXPECT_EQ(SIM_IsUCS2Name(u"\u9673"), 1);
    EXPECT_EQ(SIM_IsUCS2Name(u"[Team] {A}"), 0);
    EXPECT_EQ(SIM_IsUCS2Name(nullptr), 0);
    int counted = 0;
    for (int code = 128; code < 256; ++code) {
        counted += SIM_IsNonGsmChar(static_cast<WCHAR>(code)) == 0 ? 1 : 0;
    }
    EXPECT_EQ(counted, 30);
}

TEST_F(SaveEntryTest, StoresTheFilteredNumberAndLeavesTheFieldAsTyped) {
    UseCard({});
    ENTRYFIELDS fields = Fields(u"Zo\u00EB", u"(030) 123-45");
    Outcome outcome = SaveNew(fields);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.message, u"");
    EXPECT_EQ(std::u16string(fields.szNumber), u"(030) 123-45");
    auto entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].entry.name, u"Zo\u00EB");
    EXPECT_EQ(entries[0].entry.number.digits(), u"03012345");
}

TEST_F(SaveEntryTest, RefusesANumberWithoutDigitsOrWithoutAnythingAndWritesNothing) {
    UseCard({});
    for (std::u16string_view number : {u"p*#", u"abc"}) {
        ENTRYFIELDS fields = Fields(u"Ann", number);
        Outcome outcome = SaveNew(fields);
        EXPECT_EQ(outcome.result, -1) << std::string(number.begin(), number.end());
        EXPECT_EQ(outcome.message, kNeedMobileNumber);
    }
    ENTRYFIELDS empty = Fields(u"Ann", u"");
    Outcome outcome = SaveNew(empty);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_EQ(outcome.message, kNeedNumber);
    EXPECT_TRUE(Entries().empty());
}

TEST_F(SaveEntryTest, CutsALongNumberBeforeFilteringAndSaysSo) {
    UseCard(Profile(14, 20));
    ENTRYFIELDS fields = Fields(u"Ann", u"0123456789-0123456789-01");
    Outcome outcome = SaveNew(fields);
    EXPECT_EQ(outcome.result, 2);
    EXPECT_EQ(std::u16string(fields.szNumber), u"0123456789-012345678");
    ASSERT_EQ(Entries().size(), 1u);
    EXPECT_EQ(Entries()[0].entry.number.digits(), u"0123456789012345678");
}

TEST_F(SaveEntryTest, AnInternationalNumberOfTheFullLengthKeepsEveryDigit) {
    UseCard(Profile(14, 20));
    ENTRYFIELDS fields = Fields(u"Ann", u"+01234567890123456789");
    Outcome outcome = SaveNew(fields);
    EXPECT_EQ(outcome.result, 1);
    auto entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].entry.number.digits(), u"01234567890123456789");
    EXPECT_TRUE(entries[0].entry.number.international());
}

TEST_F(SaveEntryTest, AnEmptyNameBecomesTheNumberAsTypedWithinTheNameLimit) {
    UseCard(Profile(14, 20));
    ENTRYFIELDS fields = Fields(u"", u"+49301234567890");
    Outcome outcome = SaveNew(fields);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(std::u16string(fields.szName), u"+4930123456789");
    auto entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].entry.name, u"+4930123456789");
    EXPECT_EQ(entries[0].entry.number.digits(), u"49301234567890");
    EXPECT_TRUE(entries[0].entry.number.international());
}

struct NameCase {
    const char* label;
    int name_bytes;
    std::u16string name;
    int expected;
};

class NameLimit : public SaveEntryTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(NameLimit, HalvesTheRoomForNamesThatNeedUcs2AndRefusesWhatIsLonger) {
    const NameCase& c = GetParam();
    UseCard(Profile(c.name_bytes));
    ENTRYFIELDS fields = Fields(c.name, u"0301234");
    Outcome outcome = SaveNew(fields);
    EXPECT_EQ(outcome.result, c.expected);
    EXPECT_EQ(outcome.message, c.expected == -1 ? kNameTooLong : u"");
    EXPECT_EQ(Entries().size(), c.expected == -1 ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameLimit,
    ::testing::Values(NameCase{"Ucs2AtItsLimit", 14, u"Zo\u00EB Ab", 1},
                      NameCase{"Ucs2OverItsLimit", 14, u"Zo\u00EB Abc", -1},
                      NameCase{"OddLengthRoundsDown", 15, u"Zo\u00EB Abc", -1},
                      NameCase{"GsmLatinKeepsTheFullLimit", 14, u"Jos\u00E9 M\u00FCller-Ab", 1},
                      NameCase{"GsmLatinOverTheFullLimit", 14, u"Jos\u00E9 M\u00FCller-Abc", -1},
                      NameCase{"AboveLatin1", 14, u"\u9673\u5927\u6587\u5148\u751F\u4F60\u597D",
                               -1},
                      NameCase{"BracketsKeepTheFullLimit", 14, u"(Bob) [A] Te", 1}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return info.param.label; });

TEST_F(SaveEntryTest, LenientModeCutsTheNameAndSaysSo) {
    UseCard(Profile(14));
    ENTRYFIELDS fields = Fields(u"Zo\u00EB Abcdefgh", u"0301234");
    Outcome outcome = SaveNew(fields, 0);
    EXPECT_EQ(outcome.result, 2);
    EXPECT_EQ(outcome.message, u"");
    EXPECT_EQ(std::u16string(fields.szName), u"Zo\u00EB Ab");
    ASSERT_EQ(Entries().size(), 1u);
    EXPECT_EQ(Entries()[0].entry.name, u"Zo\u00EB Ab");
}

TEST_F(SaveEntryTest, AChangedEntryKeepsItsSlot) {
    UseCard({});
    handset::CardFile::open(m_device.folder() / "sim.db")
        .store(7, sim_entry(u"Old", u"111"), handset::EntryFields::all);
    ENTRYFIELDS fields = Fields(u"New", u"222");
    Outcome outcome = Save([&] { return SIM_SaveEntry(7, &fields, 1, nullptr); });
    EXPECT_EQ(outcome.result, 1);
    auto entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].slot, 7);
    EXPECT_EQ(entries[0].entry.name, u"New");
}

TEST_F(SaveEntryTest, AWriteTheCardRefusesIsReportedAndChangesNothing) {
    UseCard({});
    CardFaults faults;
    faults.write_error = SIM_E_MEMORYFULL;
    FaultyCardScope faulty(faults);
    ENTRYFIELDS plain = Fields(u"Ann", u"0301234");
    Outcome outcome = SaveNew(plain);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_EQ(outcome.message, kUnknownError);
    SwitchExtendedOn();
    ENTRYFIELDS extended = Fields(u"Ann", u"0301234");
    outcome = SaveNewExtended(extended);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_EQ(outcome.message, kUnknownError);
    EXPECT_TRUE(Entries().empty());
}

// A card reporting a name length below 2 leaves a UCS-2 name less than no room.
TEST_F(SaveEntryTest, ACardWithoutRoomForAUcs2NameRefusesOrFillsTheNameWithTheNumber) {
    UseCard({});
    CardFaults faults;
    faults.reported_profile = [](handset::CardProfile& p) { p.name_bytes = 1; };
    FaultyCardScope faulty(faults);
    ENTRYFIELDS strict = Fields(u"Zo\u00EB", u"0301234");
    EXPECT_EQ(SaveNew(strict).message, kNameTooLong);
    ENTRYFIELDS lenient = Fields(u"Zo\u00EB", u"0301234");
    Outcome outcome = SaveNew(lenient, 0);
    EXPECT_EQ(outcome.result, 2);
    EXPECT_EQ(std::u16string(lenient.szName), u"0");
    ASSERT_EQ(Entries().size(), 1u);
    EXPECT_EQ(Entries()[0].entry.name, u"0");
}

// With no limits known, a number has no room at all: nothing is written.
TEST_F(SaveEntryTest, ACardWhoseCapabilitiesFailedAcceptsNoNumber) {
    UseCard({});
    CardFaults faults;
    faults.capabilities_error = SIM_E_UNDETERMINED;
    FaultyCardScope faulty(faults);
    ENTRYFIELDS fields = Fields(u"Ann", u"0301234");
    Outcome outcome = SaveNew(fields);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_EQ(outcome.message, kNeedMobileNumber);
    EXPECT_TRUE(Entries().empty());
}

TEST_F(SaveEntryTest, FieldsFilledToTheBrimAreCutWithinTheirBounds) {
    UseCard({});
    ENTRYFIELDS fields;
    std::fill(std::begin(fields.szName), std::end(fields.szName), u'a');
    std::fill(std::begin(fields.szNumber), std::end(fields.szNumber), u'1');
    std::fill(std::begin(fields.szNumber2), std::end(fields.szNumber2), u'x');
    std::fill(std::begin(fields.szEmail), std::end(fields.szEmail), u'x');
    Outcome outcome = SaveNew(fields, 0);
    EXPECT_EQ(outcome.result, 2);
    EXPECT_EQ(std::u16string(fields.szName), u"aaaaaaaaaaaaaa");
    EXPECT_EQ(std::u16string(fields.szNumber), u"11111111111111111111");
}

TEST_F(SaveEntryTest, AnExtendedSaveWritesTheSecondNumberAndEmail) {
    SwitchExtendedOn();
    UseCard(extended_profile());
    ENTRYFIELDS fields = Fields(u"Ann", u"0301234", u"+4917012", u"ann@example.org");
    EXPECT_EQ(SaveNewExtended(fields).result, 1);
    auto entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    ASSERT_TRUE(entries[0].entry.additional_number);
    EXPECT_EQ(entries[0].entry.additional_number->digits(), u"4917012");
    EXPECT_EQ(entries[0].entry.email, std::optional<std::u16string>(u"ann@example.org"));

    ENTRYFIELDS cleared = Fields(u"Ann", u"0301234");
    EXPECT_EQ(Save([&] { return USIM_SaveEntry(entries[0].slot, &cleared, 1, nullptr); }).result,
              1);
    entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_FALSE(entries[0].entry.additional_number);
    EXPECT_FALSE(entries[0].entry.email);
}

TEST_F(SaveEntryTest, ANewExtendedEntryGetsOneSubRecordOfEachWithASpaceForNoSecondNumber) {
    SwitchExtendedOn();
    UseCard(extended_profile());
    ENTRYFIELDS fields = Fields(u"Ann", u"0301234");
    USIM_PBENTRY* entry = nullptr;
    ASSERT_TRUE(USIM_AllocEntry(&entry));
    USIM_ADDNUMBER* number = nullptr;
    USIM_EMAIL* email = nullptr;
    ASSERT_TRUE(USIM_SetSubRecords(entry, &fields, &number, &email));
    EXPECT_EQ(entry->dwParams & 0x1E00, 0x1E00u);
    EXPECT_EQ(entry->dwAdditionalNumberCount, 1u);
    EXPECT_EQ(entry->lpAdditionalNumbers, number);
    EXPECT_EQ(std::u16string(number->lpszAddress), u" ");
    EXPECT_EQ(entry->dwEmailCount, 1u);
    EXPECT_EQ(entry->lpEmailAddresses, email);
    EXPECT_EQ(std::u16string(email->lpszAddress), u"");
    USIM_FreeBlock(number);
    USIM_FreeBlock(email);
    USIM_FreeBlock(entry);
    SIM_Release();
}

// Cards written by other phones may keep several; only the first is the editor's.
TEST_F(SaveEntryTest, AnEntryWithSeveralSubRecordsKeepsThemAndChangesOnlyTheFirst) {
    SwitchExtendedOn();
    UseCard(extended_profile());
    USIM_ADDNUMBER numbers[2] = {};
    USIM_EMAIL emails[3] = {};
    StringCchCopyW(numbers[1].lpszAddress, SIM_TEXT_SIZE, u"555");
    StringCchCopyW(emails[2].lpszAddress, SIM_TEXT_SIZE, u"third@example.org");
    USIM_PBENTRY entry = {};
    entry.dwAdditionalNumberCount = 2;
    entry.lpAdditionalNumbers = numbers;
    entry.dwEmailCount = 3;
    entry.lpEmailAddresses = emails;
    ENTRYFIELDS fields = Fields(u"Ann", u"0301234", u"777", u"first@example.org");
    USIM_ADDNUMBER* number = nullptr;
    USIM_EMAIL* email = nullptr;
    ASSERT_TRUE(USIM_SetSubRecords(&entry, &fields, &number, &email));
    EXPECT_EQ(number, nullptr);
    EXPECT_EQ(email, nullptr);
    EXPECT_EQ(entry.dwAdditionalNumberCount, 2u);
    EXPECT_EQ(entry.dwEmailCount, 3u);
    EXPECT_EQ(std::u16string(numbers[0].lpszAddress), u"777");
    EXPECT_EQ(std::u16string(numbers[1].lpszAddress), u"555");
    EXPECT_EQ(std::u16string(emails[0].lpszAddress), u"first@example.org");
    EXPECT_EQ(std::u16string(emails[2].lpszAddress), u"third@example.org");
    SIM_Release();
}
