#include "sim/sim_access.h"
#include "sim/usim.h"
#include "test_device.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

SIM_PBENTRY NewEntry(const char16_t* name, const char16_t* number) {
    SIM_PBENTRY entry;
    memset(&entry, 0, sizeof(entry));
    entry.cbSize = sizeof(entry);
    entry.dwParams = SIM_PARAM_PBE_ALL;
    entry.dwNumPlan = SIM_NUMPLAN_TELEPHONE;
    StringCchCopyW(entry.lpszText, SIM_TEXT_SIZE, name);
    StringCchCopyW(entry.lpszAddress, SIM_TEXT_SIZE, number);
    return entry;
}

std::u16string Text(const WCHAR* text) {
    return std::u16string(text);
}

} // namespace

TEST(PlusRule, ReadingAnInternationalEntryPutsThePlusInFront) {
    TestDevice device;
    device.card().store(3, sim_entry(u"Anna", u"+4930123"), handset::EntryFields::all);

    SIM_PBENTRY entry = NewEntry(u"", u"");
    ASSERT_EQ(SIM_ReadPBEntry(3, &entry), 1);
    EXPECT_EQ(Text(entry.lpszAddress), u"+4930123");
    EXPECT_EQ(Text(entry.lpszText), u"Anna");
    EXPECT_TRUE(
        device.has_line("Telvane <RD_INFO>: SIM_ReadPBEntry: #3, Name:Anna, Phone:4930123"));
}

TEST(PlusRule, ReadingANationalEntryAddsNothing) {
    TestDevice device;
    device.card().store(1, sim_entry(u"Ben", u"030123"), handset::EntryFields::all);

    SIM_PBENTRY entry = NewEntry(u"", u"");
    ASSERT_EQ(SIM_ReadPBEntry(1, &entry), 1);
    EXPECT_EQ(Text(entry.lpszAddress), u"030123");
}

TEST(PlusRule, WritingMovesOneLeadingPlusIntoTheAddressType) {
    TestDevice device;
    handset::CardFile card = device.card();

    SIM_PBENTRY entry = NewEntry(u"Anna", u"+4930123");
    ASSERT_EQ(SIM_WritePBEntry(SIM_INDEX_FIRSTFREE, &entry), 1);
    EXPECT_EQ(Text(entry.lpszAddress), u"4930123");
    EXPECT_EQ(entry.dwAddressType, static_cast<DWORD>(SIM_ADDRTYPE_INTERNATIONAL));

    auto stored = card.entry(1);
    ASSERT_TRUE(stored);
    EXPECT_TRUE(stored->number.international());
    EXPECT_EQ(stored->number.digits(), u"4930123");

    SIM_PBENTRY twice = NewEntry(u"Ben", u"++49");
    SIM_WritePBEntry(2, &twice);
    EXPECT_EQ(Text(twice.lpszAddress), u"+49");
    EXPECT_EQ(twice.dwAddressType, static_cast<DWORD>(SIM_ADDRTYPE_INTERNATIONAL));
}

TEST(PlusRule, WritingAPlainOrEmptyNumberClearsTheAddressType) {
    TestDevice device;
    device.card();

    SIM_PBENTRY plain = NewEntry(u"Anna", u"4930123");
    plain.dwAddressType = SIM_ADDRTYPE_INTERNATIONAL;
    ASSERT_EQ(SIM_WritePBEntry(1, &plain), 1);
    EXPECT_EQ(plain.dwAddressType, 0u);

    SIM_PBENTRY empty = NewEntry(u"Ben", u"");
    empty.dwAddressType = SIM_ADDRTYPE_INTERNATIONAL;
    SIM_WritePBEntry(2, &empty);
    EXPECT_EQ(empty.dwAddressType, 0u);
}

TEST(SIMErrorTrace, NamesTheIndexTheTextAndTheCodeAsASignedNumber) {
    TestDevice device;
    SIM_Error(HRESULT(0x88000340), 5);
    EXPECT_TRUE(
        device.has_line("Telvane <RD_Error>: SIM_Error: #5: Storage memory is full.(-2013265088)"));
}

TEST(SIMErrorTrace, WritesNothingForACodeOutsideTheTable) {
    TestDevice device;
    SIM_Error(HRESULT(0x88000001), 5);
    EXPECT_EQ(device.count_lines("SIM_Error"), 0);
}

TEST(SIMErrorTrace, AReadOfAnEmptySlotTracesNotFound) {
    TestDevice device;
    device.card();
    SIM_PBENTRY entry = NewEntry(u"", u"");
    EXPECT_EQ(SIM_ReadPBEntry(7, &entry), -1);
    EXPECT_TRUE(device.has_line("SIM_Error: #7: A requested storage entry was not found."));
}

TEST(LockChecks, APukLockedCardCountsAsReadyButLocked) {
    TestDevice device;
    device.card().update_state(
        [](handset::CardState& state) { state.lock = handset::PinLock::puk; });

    EXPECT_EQ(SIM_IsPUKLock(), 1);
    EXPECT_EQ(SIM_IsPINLock(), 0);
    EXPECT_EQ(SIM_IsReady(), 1);
    EXPECT_TRUE(device.has_line("Telvane <RD_INFO>: PUK Lock == TRUE"));
    EXPECT_TRUE(device.has_line("Telvane <RD_INFO>: PIN Lock == FALSE"));
}

TEST(LockChecks, APinLockedCardIsNotReady) {
    TestDevice device;
    device.card().update_state(
        [](handset::CardState& state) { state.lock = handset::PinLock::pin; });

    EXPECT_EQ(SIM_IsPINLock(), 1);
    EXPECT_EQ(SIM_IsPUKLock(), 0);
    EXPECT_EQ(SIM_IsReady(), 0);
}

TEST(LockChecks, FixedDiallingAndAnUnreadyPhonebookAreSeen) {
    TestDevice device;
    device.card().update_state([](handset::CardState& state) {
        state.fixed_dialling = true;
        state.phonebook_ready = false;
    });

    EXPECT_NE(SIM_IsFDNEnable(), 0);
    EXPECT_EQ(SIM_IsPhoneBookReady(), 0);
    EXPECT_TRUE(device.has_line("FDN Enable == TRUE"));
}

TEST(LockChecks, WithoutACardNothingIsReady) {
    TestDevice device;
    device.card().update_state([](handset::CardState& state) { state.present = false; });

    EXPECT_EQ(SIM_IsReady(), 0);
    EXPECT_EQ(SIM_IsPhoneBookReady(), 0);
}

TEST(PhoneStatus, ClassifiesTheStatusValue) {
    TestDevice device;
    const struct {
        DWORD value;
        int expected;
    } cases[] = {{0x16, PHONE_STATUS_INVALID},   {0x12, PHONE_STATUS_REMOVED},
                 {0x10, PHONE_STATUS_RADIO_OFF}, {0x20, PHONE_STATUS_OK},
                 {0, PHONE_STATUS_UNKNOWN},      {0xFFFFFFFF, PHONE_STATUS_UNKNOWN}};
    for (const auto& c : cases) {
        device.set_dword(u"System\\State\\Phone", u"Status", c.value);
        EXPECT_EQ(PHONE_GetStatus(), c.expected) << std::hex << c.value;
    }
}

TEST(PhoneStatus, AMissingOrTextValueIsUnknown) {
    TestDevice device;
    device.delete_value(u"System\\State\\Phone", u"Status");
    EXPECT_EQ(PHONE_GetStatus(), PHONE_STATUS_UNKNOWN);

    device.set_string(u"System\\State\\Phone", u"Status", u"20");
    EXPECT_EQ(PHONE_GetStatus(), PHONE_STATUS_UNKNOWN);
}

TEST(PhonebookStatus, ReportsUsedAndTotalSlots) {
    TestDevice device;
    handset::CardFile card = device.card();
    card.store(4, sim_entry(u"Anna", u"123"), handset::EntryFields::all);

    DWORD used = 0;
    DWORD total = 0;
    SIM_GetPhoneBookStatus(&used, &total);
    EXPECT_EQ(used, 1u);
    EXPECT_EQ(total, 250u);
    EXPECT_TRUE(device.has_line("SIM_GetPhoneBookStatus: Used:1, Total:250"));
}

TEST(Limits, AreQueriedAndTracedOnlyOnce) {
    TestDevice device;
    device.card();

    EXPECT_EQ(SIM_MAX_NameLength(), 14);
    EXPECT_EQ(SIM_MAX_NameLength(), 14);
    EXPECT_EQ(SIM_MAX_PhoneLength(), 20);
    EXPECT_EQ(SIM_MAX_PhoneLength(), 20);
    EXPECT_EQ(device.count_lines("SIM_MAX_NameLength == 14"), 1);
    EXPECT_EQ(device.count_lines("SIM_MAX_PhoneLength == 20"), 1);
}

TEST(Limits, AFailedQueryLeavesZeroForTheRun) {
    TestDevice device;
    device.card().update_state([](handset::CardState& state) { state.present = false; });

    EXPECT_EQ(SIM_MAX_NameLength(), 0);
    device.card();
    EXPECT_EQ(SIM_MAX_NameLength(), 0);
}

TEST(Limits, TheNumberLimitStaysThePlainCardsWithoutASecondNumber) {
    TestDevice device;
    device.set_dword(u"Software\\Nemora\\Telvane\\", u"USIMSupport", 1);
    handset::CardProfile profile;
    profile.extended.email_bytes = 40;
    profile.extended.email_count = 1;
    profile.extended.additional_number_count = 1;
    device.card(profile);

    EXPECT_EQ(SIM_MAX_PhoneLength(), 20);
    EXPECT_EQ(SIM_MAX_NameLength(), 14);
    EXPECT_TRUE(device.has_line("USIM_MAX_NameLength == 14"));
    EXPECT_FALSE(device.has_line("USIM_MAX_PhoneLength"));
}

TEST(Dialling, RecordsTheCallWithNumberAndName) {
    TestDevice device;
    handset::CardFile card = device.card();
    PHONE_MakeCall(u"+4930123", u"Anna");

    auto calls = card.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].number, u"+4930123");
    EXPECT_EQ(calls[0].name, u"Anna");
}
