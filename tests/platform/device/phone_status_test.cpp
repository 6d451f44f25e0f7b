#include "../base/temporary_folder.h"

#include "device/phone_status.h"
#include "registry/reg_file_parser.h"

#include <gtest/gtest.h>

namespace {

using handset::CardState;
using handset::phone_status_for;

CardState with(void (*change)(CardState&)) {
    CardState state;
    change(state);
    return state;
}

TEST(PhoneStatus, SetsTheBitOfEachCardAndRadioFaultAndClearsItWhenHealthyAgain) {
    struct Case {
        CardState state;
        DWORD expected;
    };
    const Case cases[] = {
        {CardState{}, 0x20},
        {with([](CardState& s) { s.present = false; }), 0x22},
        {with([](CardState& s) { s.invalid = true; }), 0x24},
        // Without a card there is nothing to be invalid.
        {with([](CardState& s) { s.present = false, s.invalid = true; }), 0x22},
        {with([](CardState& s) { s.radio_on = false; }), 0x30},
        {with([](CardState& s) { s.present = false, s.radio_on = false; }), 0x32},
        // Locks and fixed dialling are the SIM gate's business, not the phone status.
        {with([](CardState& s) { s.lock = handset::PinLock::puk, s.fixed_dialling = true; }), 0x20},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(phone_status_for(0x20, c.state), c.expected);
        EXPECT_EQ(phone_status_for(0x36, c.state), c.expected) << "stale bits are cleared";
    }
}

TEST(PhoneStatus, KeepsOtherBitsAndNeverBecomesZero) {
    EXPECT_EQ(phone_status_for(0x1000, CardState{}), 0x1000u);
    EXPECT_EQ(phone_status_for(0x1012, CardState{}), 0x1000u);
    EXPECT_EQ(phone_status_for(0, CardState{}), handset::phone_status_healthy);
    EXPECT_EQ(phone_status_for(0x12, CardState{}), handset::phone_status_healthy);
}

TEST(PhoneStatus, SyncWritesTheValueAndKeepsTheRestOfTheRegistry) {
    TemporaryFolder folder;
    folder.write("registry.reg", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\System\\State\\Phone]\n"
                                 "\"Status\"=dword:00001020\n\"Other\"=\"kept\"\n");
    CardState state;
    state.radio_on = false;
    const handset::RegistryEdit edit = handset::sync_phone_status(folder.path(), state);
    ASSERT_EQ(edit.status, handset::RegistryEdit::Status::changed) << edit.error;

    const handset::RegistryTree tree =
        handset::RegFileParser([](const auto&) { FAIL(); }).parse(folder.read("registry.reg"));
    const handset::RegistryKey* key =
        tree.root(handset::RegistryRoot::local_machine).descendant({u"System", u"State", u"Phone"});
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->value(u"Status")->as_dword(), 0x1030u);
    EXPECT_EQ(key->value(u"Other")->as_string(), u"kept");
}

TEST(PhoneStatus, SyncRefusesARegistryFileItCannotReadWhole) {
    TemporaryFolder folder;
    const std::string damaged = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\System]\n\"Broken\n";
    folder.write("registry.reg", damaged);
    EXPECT_EQ(handset::sync_phone_status(folder.path(), CardState{}).status,
              handset::RegistryEdit::Status::failed);
    EXPECT_EQ(folder.read("registry.reg"), damaged);
}

} // namespace
