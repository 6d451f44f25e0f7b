// The device's faults as the SIM library's callers meet them: the chosen answer on the chosen
// call, nothing written by a struck write, and the card back to normal once they are cleared.
#include "card_test_support.h"
#include "child_process.h"

#include "base/debug_output.h"

#include <simmgr.h>

#include <gmock/gmock.h>

namespace {

using handset::Fault;
using handset::FaultPoint;
using ::testing::Contains;
using ::testing::HasSubstr;

HRESULT read_slot(HSIM sim, DWORD slot) {
    SIMPHONEBOOKENTRY entry{};
    entry.cbSize = sizeof entry;
    return SimReadPhonebookEntry(sim, SIM_PBSTORAGE_SIM, slot, &entry);
}

Fault fault_at(FaultPoint point, HRESULT error) {
    Fault fault;
    fault.point = point;
    fault.error = static_cast<uint32_t>(error);
    return fault;
}

class CardFaultTest : public CardTest {
  protected:
    void SetUp() override {
        CardTest::SetUp();
        m_card.emplace(create_card());
        m_handle.emplace();
        ASSERT_EQ(m_handle->opened(), S_OK);
        m_sim = *m_handle;
    }

    void add(Fault fault) { m_card->add_fault(fault); }
    Fault only_fault() {
        const std::vector<Fault> faults = m_card->faults();
        EXPECT_EQ(faults.size(), 1u);
        return faults.empty() ? Fault{} : faults.front();
    }

    std::optional<handset::CardFile> m_card;
    // Opened once the device folder is set, as a program opens it.
    std::optional<SimHandle> m_handle;
    HSIM m_sim;
    handset::DebugCapture m_debug;
};

} // namespace

TEST_F(CardFaultTest, AWriteStruckWithMemoryFullReachesTheCallerAndWritesNothing) {
    ASSERT_EQ(write_named(m_sim, 1, u"Before"), S_OK) << "a write before the fault is not counted";
    const int64_t changes = m_card->latest_change();
    Fault fault = fault_at(FaultPoint::phonebook_write, SIM_E_MEMORYFULL);
    fault.nth = 2;
    add(fault);

    EXPECT_EQ(write_named(m_sim, 2, u"First"), S_OK);
    EXPECT_EQ(write_named(m_sim, 3, u"Second"), SIM_E_MEMORYFULL);
    EXPECT_EQ(m_card->entry(3), std::nullopt);
    EXPECT_EQ(m_card->changes_since(changes).size(), 1u) << "no change announced for slot 3";
    EXPECT_EQ(write_named(m_sim, 3, u"Third"), S_OK) << "the fault strikes once";

    EXPECT_THAT(m_debug.lines(), Contains("fault: phonebook write #2 answers 0x88000340"));
    const Fault spent = only_fault();
    EXPECT_EQ(spent.counted, 2);
    EXPECT_EQ(spent.fired, 1);
}

TEST_F(CardFaultTest, AReadFaultOnOneSlotFailsThatSlotOnly) {
    for (DWORD slot : {6, 7, 8}) {
        ASSERT_EQ(write_named(m_sim, slot, u"Entry"), S_OK);
    }
    Fault fault = fault_at(FaultPoint::phonebook_read, SIM_E_MEMORYFAILURE);
    fault.slot = 7;
    add(fault);

    EXPECT_EQ(read_slot(m_sim, 6), S_OK);
    EXPECT_EQ(read_slot(m_sim, 7), SIM_E_MEMORYFAILURE);
    EXPECT_EQ(read_slot(m_sim, 8), S_OK);
    EXPECT_EQ(read_slot(m_sim, 7), SIM_E_MEMORYFAILURE) << "every read of the slot fails";
    EXPECT_EQ(write_named(m_sim, 7, u"Changed"), S_OK) << "writes to the slot are not struck";
    EXPECT_EQ(only_fault().counted, 2) << "reads of other slots do not count";
}

TEST_F(CardFaultTest, TheCardDisappearsAfterTheGivenNumberOfCallsWithoutChangingTheFile) {
    Fault fault = fault_at(FaultPoint::sim_call, SIM_E_SIMNOTINSERTED);
    fault.after = 2;
    add(fault);
    DWORD state = 0;
    EXPECT_EQ(SimGetPhoneLockedState(m_sim, &state), S_OK);
    EXPECT_EQ(write_named(m_sim, 1, u"Kept"), S_OK);

    EXPECT_EQ(SimGetPhoneLockedState(m_sim, &state), SIM_E_SIMNOTINSERTED);
    EXPECT_EQ(read_slot(m_sim, 1), SIM_E_SIMNOTINSERTED);
    EXPECT_EQ(write_named(m_sim, 2, u"Lost"), SIM_E_SIMNOTINSERTED);
    SimHandle another;
    EXPECT_EQ(read_slot(another, 1), SIM_E_SIMNOTINSERTED) << "the card is gone for every handle";

    EXPECT_TRUE(m_card->state().present) << "the control API still sees the card";
    EXPECT_EQ(m_card->used_slots(), 1);
}

TEST_F(CardFaultTest, ClearingTheFaultsRestoresTheCard) {
    add(fault_at(FaultPoint::sim_call, SIM_E_SIMNOTINSERTED));
    add(fault_at(FaultPoint::phonebook_write, SIM_E_MEMORYFULL));
    ASSERT_EQ(write_named(m_sim, 1, u"Lost"), SIM_E_SIMNOTINSERTED);

    EXPECT_EQ(m_card->clear_faults(), 2);
    EXPECT_EQ(write_named(m_sim, 1, u"Kept"), S_OK);
    EXPECT_EQ(read_slot(m_sim, 1), S_OK);
    EXPECT_TRUE(m_card->faults().empty());
}

// The count lives with the fault and is raised in the transaction that checks it, so the writes
// of two processes at once are counted one by one: none is lost, and exactly those after the
// first `after` of them all are struck.
TEST_F(CardFaultTest, WritesOfTwoProcessesAtOnceAreCountedAsOneSequence) {
    constexpr int each = 30;
    constexpr int passed = 45;
    Fault fault = fault_at(FaultPoint::phonebook_write, SIM_E_MEMORYFULL);
    fault.after = passed;
    add(fault);

    ChildProcess other(
        {SIM_CARD_TOOL, m_folder.path().string(), "write-many", std::to_string(each)});
    ASSERT_TRUE(other.started());
    int refused_here = 0;
    for (int written = 0; written < each; ++written) {
        refused_here += write_named(m_sim, static_cast<DWORD>(100 + written), u"Here") != S_OK;
    }
    const std::optional<std::string> refused_there = other.read_line();
    ASSERT_TRUE(refused_there.has_value());
    EXPECT_EQ(other.wait(), 0);

    EXPECT_EQ(refused_here + std::stoi(*refused_there), 2 * each - passed);
    const Fault counted = only_fault();
    EXPECT_EQ(counted.counted, 2 * each);
    EXPECT_EQ(counted.fired, 2 * each - passed);
}
