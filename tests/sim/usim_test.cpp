#include "sim/sim_access.h"
#include "sim/usim.h"
#include "test_device.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

namespace {

void SwitchOn(TestDevice& device) {
    device.set_dword(u"Software\\Nemora\\Telvane\\", u"USIMSupport", 1);
}

struct SwitchCase {
    const char* name;
    std::optional<DWORD> dword;
    const char16_t* text;
    int expected;
};

class USIMSwitch : public ::testing::TestWithParam<SwitchCase> {};

} // namespace

TEST_P(USIMSwitch, DecidesWhetherTheExtendedPhonebookIsUsed) {
    TestDevice device;
    const SwitchCase& c = GetParam();
    if (c.dword) {
        device.set_dword(u"Software\\Nemora\\Telvane\\", u"USIMSupport", *c.dword);
    } else if (c.text) {
        device.set_string(u"Software\\Nemora\\Telvane\\", u"USIMSupport", c.text);
    }
    EXPECT_EQ(USIM_IsSupported(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(RegistryValues, USIMSwitch,
                         ::testing::Values(SwitchCase{"Absent", std::nullopt, nullptr, 0},
                                           SwitchCase{"Zero", 0u, nullptr, 0},
                                           SwitchCase{"One", 1u, nullptr, 1},
                                           SwitchCase{"Two", 2u, nullptr, 1},
                                           SwitchCase{"AllBitsSet", 0xFFFFFFFFu, nullptr, 0},
                                           SwitchCase{"Text", std::nullopt, u"1", 0}),
                         [](const ::testing::TestParamInfo<SwitchCase>& info) {
                             return info.param.name;
                         });

TEST(USIMFields, FollowTheCapabilitiesOnlyWhenSwitchedOn) {
    TestDevice device;
    device.card(extended_profile(20, 40));
    EXPECT_EQ(USIM_IsPhone2Supported(), 0);
    EXPECT_EQ(USIM_IsEmailSupported(), 0);
    EXPECT_EQ(USIM_IsNickNameSupported(), 0);
}

TEST(USIMFields, ASecondNumberOfLengthZeroIsNoSecondNumber) {
    TestDevice device;
    SwitchOn(device);
    device.card(extended_profile(0, 40));
    EXPECT_EQ(USIM_IsPhone2Supported(), 0);
    EXPECT_EQ(USIM_IsEmailSupported(), 1);
}

TEST(USIMLimits, TraceOnEveryCallButReadTheCapabilitiesOnce) {
    TestDevice device;
    SwitchOn(device);
    device.card(extended_profile(20, 40));

    EXPECT_EQ(USIM_MAX_NameLength(), 14);
    EXPECT_EQ(USIM_MAX_NameLength(), 14);
    EXPECT_EQ(USIM_MAX_EmailLength(), 40);
    EXPECT_EQ(USIM_MAX_Phone2Length(), 20);
    EXPECT_EQ(device.count_lines("USIM_MAX_NameLength == 14"), 2);
    // One capability query for the name limit, one each for the e-mail and second-number limits.
    EXPECT_EQ(device.count_lines("USIM_GetPBCapabilities:"), 3);
    EXPECT_EQ(device.count_lines("Max Group Id Count"), 3);
}

TEST(USIMEntries, AReadBringsTheSecondNumberAndTheEmailBehindTheHead) {
    TestDevice device;
    SwitchOn(device);
    handset::CardFile card = device.card(extended_profile(20, 40));
    handset::PhonebookEntry stored = sim_entry(u"Anna", u"+4930123");
    stored.additional_number = *handset::DiallingNumber::parse(u"0170555");
    stored.email = u"anna@example.org";
    card.store(2, stored, handset::EntryFields::all);

    USIM_PBENTRY* entry = nullptr;
    ASSERT_TRUE(USIM_AllocEntry(&entry));
    ASSERT_EQ(USIM_ReadPBEntry(2, entry), 1);
    EXPECT_EQ(std::u16string(entry->lpszText), u"Anna");
    EXPECT_EQ(std::u16string(entry->lpszAddress), u"+4930123");
    ASSERT_EQ(entry->dwAdditionalNumberCount, 1u);
    ASSERT_TRUE(entry->lpAdditionalNumbers);
    EXPECT_EQ(std::u16string(entry->lpAdditionalNumbers[0].lpszAddress), u"0170555");
    ASSERT_EQ(entry->dwEmailCount, 1u);
    ASSERT_TRUE(entry->lpEmailAddresses);
    EXPECT_EQ(std::u16string(entry->lpEmailAddresses[0].lpszAddress), u"anna@example.org");
    USIM_FreeBlock(entry);
}

TEST(USIMEntries, AWriteStoresTheSubRecordsAndThePlusRule) {
    TestDevice device;
    SwitchOn(device);
    handset::CardFile card = device.card(extended_profile(20, 40));

    USIM_PBENTRY* entry = nullptr;
    USIM_ADDNUMBER* number = nullptr;
    USIM_EMAIL* email = nullptr;
    ASSERT_TRUE(USIM_AllocEntry(&entry));
    ASSERT_TRUE(USIM_AllocAdditionalNumber(&number));
    ASSERT_TRUE(USIM_AllocEmail(&email));
    StringCchCopyW(entry->lpszText, SIM_TEXT_SIZE, u"Ben");
    StringCchCopyW(entry->lpszAddress, SIM_TEXT_SIZE, u"+4940555");
    StringCchCopyW(number->lpszAddress, SIM_TEXT_SIZE, u"0171");
    StringCchCopyW(email->lpszAddress, SIM_TEXT_SIZE, u"ben@example.org");
    entry->dwParams |= USIM_PBENTRY_PHONE2BITS | USIM_PBENTRY_EMAILBITS;
    entry->dwAdditionalNumberCount = 1;
    entry->lpAdditionalNumbers = number;
    entry->dwEmailCount = 1;
    entry->lpEmailAddresses = email;

    ASSERT_EQ(USIM_WritePBEntry(SIM_INDEX_FIRSTFREE, entry), 1);
    EXPECT_EQ(entry->dwAddressType, static_cast<DWORD>(SIM_ADDRTYPE_INTERNATIONAL));
    auto stored = card.entry(1);
    ASSERT_TRUE(stored);
    EXPECT_TRUE(stored->number.international());
    ASSERT_TRUE(stored->additional_number);
    EXPECT_EQ(stored->additional_number->digits(), u"0171");
    EXPECT_EQ(stored->email, std::optional<std::u16string>(u"ben@example.org"));
    USIM_FreeBlock(number);
    USIM_FreeBlock(email);
    USIM_FreeBlock(entry);
}

TEST(USIMAllocators, GiveRoomForOneSubRecordWhenTheCardCountsNone) {
    TestDevice device;
    SwitchOn(device);
    handset::CardProfile profile;
    profile.extended.additional_number_digits = 20;
    profile.extended.email_bytes = 40;
    device.card(profile);

    USIM_ADDNUMBER* number = nullptr;
    USIM_EMAIL* email = nullptr;
    ASSERT_TRUE(USIM_AllocAdditionalNumber(&number));
    ASSERT_TRUE(USIM_AllocEmail(&email));
    EXPECT_EQ(number->cbSize, sizeof(USIM_ADDNUMBER));
    EXPECT_EQ(number->dwParams, 0xFu);
    EXPECT_EQ(email->cbSize, sizeof(USIM_EMAIL));
    // Writing the whole sub-record must stay inside the block (AddressSanitizer checks this).
    memset(number->lpszAddress, 0x31, sizeof(number->lpszAddress));
    memset(email->lpszAddress, 0x31, sizeof(email->lpszAddress));
    USIM_FreeBlock(number);
    USIM_FreeBlock(email);
}

TEST(USIMAllocators, StartANewEntryWithItsFieldMaskAndNumberingPlan) {
    TestDevice device;
    SwitchOn(device);
    device.card(extended_profile(20, 40));

    USIM_PBENTRY* entry = nullptr;
    ASSERT_TRUE(USIM_AllocEntry(&entry));
    EXPECT_EQ(entry->cbSize, sizeof(USIM_PBENTRY));
    EXPECT_EQ(entry->dwParams, 0x200Fu);
    EXPECT_EQ(entry->dwNumPlan, 1u);
    EXPECT_EQ(entry->dwAddressType, 0u);
    USIM_FreeBlock(entry);
    USIM_FreeBlock(nullptr);
}
