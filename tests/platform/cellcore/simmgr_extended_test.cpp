#include "card_test_support.h"

#include <simmgr.h>

#include <gtest/gtest.h>

#include <vector>

using handset::CardProfile;

namespace {

CardProfile usim_profile() {
    CardProfile profile;
    profile.extended = {20, 40, 1, 1};
    return profile;
}

template <size_t N>
void set_text(WCHAR (&field)[N], std::u16string_view text) {
    std::copy(text.begin(), text.end(), field);
}

// An extended entry as a program builds it, with its sub-records in blocks of its own.
struct ExtendedEntry {
    SIMPHONEBOOKENTRYEX head{};
    SIMPHONEBOOKADDITIONALNUMBER numbers[2]{};
    SIMPHONEBOOKEMAILADDRESS emails[2]{};

    ExtendedEntry(std::u16string_view name, std::u16string_view number) {
        head.cbSize = sizeof head;
        head.dwParams = 0x200F;
        head.dwNumPlan = SIM_NUMPLAN_TELEPHONE;
        set_text(head.lpszText, name);
        set_text(head.lpszAddress, number);
    }
    void add_number(std::u16string_view number) {
        SIMPHONEBOOKADDITIONALNUMBER& sub = numbers[head.dwAdditionalNumberCount++];
        sub.cbSize = sizeof sub;
        sub.dwParams = SIM_PARAM_PBADDITIONALNUMBER_ALL;
        set_text(sub.lpszAddress, number);
        head.lpAdditionalNumbers = numbers;
        head.dwParams |= 0x600;
    }
    void add_email(std::u16string_view address) {
        SIMPHONEBOOKEMAILADDRESS& sub = emails[head.dwEmailCount++];
        sub.cbSize = sizeof sub;
        sub.dwParams = SIM_PARAM_PBEMAIL_ALL;
        set_text(sub.lpszAddress, address);
        head.lpEmailAddresses = emails;
        head.dwParams |= 0x1800;
    }
    HRESULT write(HSIM sim, DWORD index) {
        return SimWritePhonebookEntryEx(sim, SIM_PBSTORAGE_SIM, index, &head);
    }
};

struct ReadBuffer {
    explicit ReadBuffer(size_t size) : bytes(size / sizeof(uint64_t) + 1) {
        this->size = DWORD(size);
    }
    SIMPHONEBOOKENTRYEX* entries() { return reinterpret_cast<SIMPHONEBOOKENTRYEX*>(bytes.data()); }
    const uint8_t* begin() const { return reinterpret_cast<const uint8_t*>(bytes.data()); }

    HRESULT read(HSIM sim, DWORD index, DWORD wanted = 1) {
        count = wanted;
        return SimReadPhonebookEntries(sim, SIM_PBSTORAGE_SIM, index, &count, entries(), &size);
    }
    bool inside(const void* pointer, size_t length) const {
        const auto* byte = static_cast<const uint8_t*>(pointer);
        return byte >= begin() && byte + length <= begin() + bytes.size() * sizeof(uint64_t);
    }

    std::vector<uint64_t> bytes;
    DWORD size;
    DWORD count = 0;
};

constexpr size_t full_entry_size = sizeof(SIMPHONEBOOKENTRYEX) +
                                   sizeof(SIMPHONEBOOKADDITIONALNUMBER) +
                                   sizeof(SIMPHONEBOOKEMAILADDRESS);

} // namespace

class ExtendedPhonebookTest : public CardTest {};

TEST_F(ExtendedPhonebookTest, CapabilitiesShowTheExtraFieldsOnlyWhenTheProfileHasThem) {
    create_card();
    SimHandle sim;
    SIMPHONEBOOKCAPS caps{};
    ASSERT_EQ(SimGetPhonebookCapabilities(sim, &caps), S_OK);
    EXPECT_EQ(caps.cbSize, 76u);
    EXPECT_EQ(caps.dwParams, 0x1FFFFu);
    EXPECT_EQ(caps.dwMinIndex, 1u);
    EXPECT_EQ(caps.dwMaxIndex, 250u);
    EXPECT_EQ(caps.dwMaxAddressLength, 20u);
    EXPECT_EQ(caps.dwMaxTextLength, 14u);
    EXPECT_EQ(caps.dwMaxAdditionalNumberLength, 0u);
    EXPECT_EQ(caps.dwMaxEmailAddressLength, 0u);
    EXPECT_EQ(caps.dwAdditionalNumberCount, 0u);

    handset::CardFile::open(card_path()).set_profile(usim_profile());
    ASSERT_EQ(SimGetPhonebookCapabilities(sim, &caps), S_OK);
    EXPECT_EQ(caps.dwMaxAdditionalNumberLength, 20u);
    EXPECT_EQ(caps.dwMaxEmailAddressLength, 40u);
    EXPECT_EQ(caps.dwAdditionalNumberCount, 1u);
    EXPECT_EQ(caps.dwEmailAddressCount, 1u);
}

TEST_F(ExtendedPhonebookTest, AReadPlacesTheSubRecordsInTheRoomBehindTheHead) {
    create_card(usim_profile());
    SimHandle sim;
    ExtendedEntry written(u"Ann", u"+4930");
    written.add_number(u"0171");
    written.add_email(u"ann@example.org");
    ASSERT_EQ(written.write(sim, 5), S_OK);

    ReadBuffer buffer(full_entry_size);
    ASSERT_EQ(buffer.read(sim, 5), S_OK);
    EXPECT_EQ(buffer.count, 1u);
    EXPECT_EQ(buffer.size, full_entry_size);
    const SIMPHONEBOOKENTRYEX& head = buffer.entries()[0];
    EXPECT_EQ(std::u16string(head.lpszText), u"Ann");
    EXPECT_EQ(std::u16string(head.lpszAddress), u"4930");
    EXPECT_EQ(head.dwAddressType, static_cast<DWORD>(SIM_ADDRTYPE_INTERNATIONAL));
    EXPECT_EQ(head.dwIndex, 5u);
    ASSERT_EQ(head.dwAdditionalNumberCount, 1u);
    ASSERT_EQ(head.dwEmailCount, 1u);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(head.lpAdditionalNumbers),
              buffer.begin() + sizeof(SIMPHONEBOOKENTRYEX));
    EXPECT_TRUE(buffer.inside(head.lpEmailAddresses, sizeof(SIMPHONEBOOKEMAILADDRESS)));
    EXPECT_EQ(head.lpAdditionalNumbers->cbSize, 532u);
    EXPECT_EQ(std::u16string(head.lpAdditionalNumbers->lpszAddress), u"0171");
    EXPECT_EQ(head.lpEmailAddresses->cbSize, 520u);
    EXPECT_EQ(std::u16string(head.lpEmailAddresses->lpszAddress), u"ann@example.org");
}

TEST_F(ExtendedPhonebookTest, RefusesABufferTooSmallAndSaysHowMuchIsNeeded) {
    create_card(usim_profile());
    SimHandle sim;
    ExtendedEntry written(u"Ann", u"1");
    written.add_email(u"a@b");
    ASSERT_EQ(written.write(sim, 1), S_OK);

    const size_t needed = sizeof(SIMPHONEBOOKENTRYEX) + sizeof(SIMPHONEBOOKEMAILADDRESS);
    ReadBuffer small(needed - 1);
    EXPECT_EQ(small.read(sim, 1), SIM_E_BUFFERTOOSMALL);
    EXPECT_EQ(small.size, needed);
    // The size a program computes from the device's 1624-byte head is too small here, where the
    // head holds 8-byte pointers.
    ReadBuffer device_sized(1624 + 520);
    EXPECT_EQ(device_sized.read(sim, 1), sizeof(void*) == 4 ? S_OK : SIM_E_BUFFERTOOSMALL);
    ReadBuffer enough(needed);
    EXPECT_EQ(enough.read(sim, 1), S_OK);
    EXPECT_EQ(enough.entries()[0].dwAdditionalNumberCount, 0u);
    EXPECT_EQ(enough.entries()[0].lpAdditionalNumbers, nullptr);
}

TEST_F(ExtendedPhonebookTest, ReadsARangeSkippingEmptySlots) {
    create_card(usim_profile());
    SimHandle sim;
    ExtendedEntry first(u"One", u"1");
    first.add_number(u"11");
    ExtendedEntry third(u"Three", u"3");
    ASSERT_EQ(first.write(sim, 248), S_OK);
    ASSERT_EQ(third.write(sim, 250), S_OK);

    ReadBuffer buffer(4 * full_entry_size);
    ASSERT_EQ(buffer.read(sim, 248, 10), S_OK);
    ASSERT_EQ(buffer.count, 2u);
    EXPECT_EQ(buffer.entries()[0].dwIndex, 248u);
    EXPECT_EQ(buffer.entries()[1].dwIndex, 250u);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(buffer.entries()[0].lpAdditionalNumbers),
              buffer.begin() + 2 * sizeof(SIMPHONEBOOKENTRYEX));
    EXPECT_EQ(std::u16string(buffer.entries()[1].lpszText), u"Three");

    EXPECT_EQ(buffer.read(sim, 249), SIM_E_NOTFOUND);
    EXPECT_EQ(buffer.read(sim, 251), SIM_E_INVALIDINDEX);
    EXPECT_EQ(buffer.read(sim, 1, 0), E_INVALIDARG);
}

TEST_F(ExtendedPhonebookTest, ABlankAdditionalNumberMeansNone) {
    create_card(usim_profile());
    SimHandle sim;
    ExtendedEntry written(u"Bob", u"2");
    written.add_number(u" ");
    ASSERT_EQ(written.write(sim, SIM_PBINDEX_FIRSTAVAILABLE), S_OK);
    EXPECT_FALSE(handset::CardFile::open(card_path()).entry(1)->additional_number);
}

TEST_F(ExtendedPhonebookTest, RefusesWhatTheCardCannotKeep) {
    create_card(usim_profile());
    SimHandle sim;
    ExtendedEntry two_emails(u"Bob", u"2");
    two_emails.add_email(u"a@b");
    two_emails.add_email(u"c@d");
    EXPECT_EQ(two_emails.write(sim, 1), SIM_E_BADPARAM);

    ExtendedEntry spaced(u"Bob", u"2");
    spaced.add_number(u"0171 1");
    EXPECT_EQ(spaced.write(sim, 1), SIM_E_BADPARAM);

    ExtendedEntry long_email(u"Bob", u"2");
    long_email.add_email(std::u16string(41, u'e'));
    EXPECT_EQ(long_email.write(sim, 1), SIM_E_BADPARAM);

    handset::CardFile::open(card_path()).set_profile(CardProfile{});
    ExtendedEntry plain_card(u"Bob", u"2");
    plain_card.add_email(u"a@b");
    EXPECT_EQ(plain_card.write(sim, 1), SIM_E_BADPARAM);
    EXPECT_EQ(handset::CardFile::open(card_path()).used_slots(), 0);
}

TEST_F(ExtendedPhonebookTest, SubRecordsAreTakenOnlyWhenTheirFieldBitsAreSet) {
    create_card(usim_profile());
    SimHandle sim;
    ExtendedEntry written(u"Eve", u"3");
    written.add_email(u"eve@example.org");
    written.head.dwParams &= ~0x1800u;
    ASSERT_EQ(written.write(sim, 1), S_OK);
    EXPECT_FALSE(handset::CardFile::open(card_path()).entry(1)->email);
}
