#include "card_test_support.h"
#include "child_process.h"
#include "notification_recorder.h"

#include <simmgr.h>

#include <gmock/gmock.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using handset::EntryFields;

class SimNotificationTest : public CardTest {
  protected:
    void SetUp() override {
        CardTest::SetUp();
        m_card.emplace(create_card());
        g_recorders = &m_recorders;
    }
    void TearDown() override {
        m_card.reset();
        CardTest::TearDown();
    }

    Recorder& recorder(size_t index) { return m_recorders[index]; }
    std::string tool() const { return SIM_CARD_TOOL; }

    std::array<Recorder, 4> m_recorders;
    std::optional<handset::CardFile> m_card;
};

TEST_F(SimNotificationTest, AWriteAndADeleteReachEveryNotifiedHandle) {
    SimHandle first(SIM_INIT_SIMCARD_NOTIFICATIONS, record_callback, 0);
    SimHandle second(SIM_INIT_SIMCARD_NOTIFICATIONS, record_callback, 1);
    SimHandle writer;
    ASSERT_EQ(first.opened(), S_OK);
    ASSERT_EQ(second.opened(), S_OK);
    m_card->store(1, entry(u"Taken", u"1"), EntryFields::all);
    ASSERT_TRUE(recorder(0).wait_for(1));

    ASSERT_EQ(write_named(writer, SIM_PBINDEX_FIRSTAVAILABLE, u"New"), S_OK);
    ASSERT_EQ(SimDeletePhonebookEntry(writer, SIM_PBSTORAGE_SIM, 1), S_OK);
    for (size_t index : {0, 1}) {
        SCOPED_TRACE(index);
        ASSERT_TRUE(recorder(index).wait_for(3));
        EXPECT_THAT(recorder(index).seen(),
                    ::testing::ElementsAre(IsEntryChange(SIM_NOTIFY_PBE_STORED, 1),
                                           IsEntryChange(SIM_NOTIFY_PBE_STORED, 2),
                                           IsEntryChange(SIM_NOTIFY_PBE_DELETED, 1)));
    }
}

TEST_F(SimNotificationTest, ChangesMadeByAnotherProcessArrive) {
    SimHandle sim(SIM_INIT_SIMCARD_NOTIFICATIONS, record_callback, 0);
    ASSERT_EQ(sim.opened(), S_OK);
    {
        ChildProcess add({tool(), m_folder.path().string(), "add", "Remote", "+4930"});
        ASSERT_TRUE(add.started());
        EXPECT_EQ(add.read_line(), "1");
        EXPECT_EQ(add.wait(), 0);
    }
    ASSERT_TRUE(recorder(0).wait_for(1));
    EXPECT_THAT(recorder(0).seen()[0], IsEntryChange(SIM_NOTIFY_PBE_STORED, 1));

    ChildProcess radio_off({tool(), m_folder.path().string(), "radio-off"});
    EXPECT_EQ(radio_off.wait(), 0);
    ASSERT_TRUE(recorder(0).wait_for(2));
    const Notification off = recorder(0).seen()[1];
    EXPECT_EQ(off.code, DWORD(SIM_NOTIFY_RADIOOFF));
    EXPECT_FALSE(off.has_data);
    EXPECT_EQ(off.size, 0u);
}

namespace {

std::atomic<int> g_self_closing_calls{0};
HSIM g_self_closing;
HRESULT g_close_result = E_INVALIDARG;

void close_from_callback(DWORD, const void*, DWORD, DWORD) {
    ++g_self_closing_calls;
    g_close_result = SimDeinitialize(g_self_closing);
}

} // namespace

TEST_F(SimNotificationTest, AHandleClosedFromItsOwnCallbackHearsNothingMore) {
    g_self_closing_calls = 0;
    ASSERT_EQ(
        SimInitialize(SIM_INIT_SIMCARD_NOTIFICATIONS, close_from_callback, 0, &g_self_closing),
        S_OK);
    SimHandle witness(SIM_INIT_SIMCARD_NOTIFICATIONS, record_callback, 0);
    SimHandle writer;
    ASSERT_EQ(write_named(writer, SIM_PBINDEX_FIRSTAVAILABLE, u"One"), S_OK);
    ASSERT_EQ(write_named(writer, SIM_PBINDEX_FIRSTAVAILABLE, u"Two"), S_OK);
    ASSERT_TRUE(recorder(0).wait_for(2));
    EXPECT_EQ(g_self_closing_calls, 1);
    EXPECT_EQ(g_close_result, S_OK);
}

namespace {

// A callback that stays inside until released, so that a close can meet it there.
struct SlowCallback {
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
    std::atomic<bool> finished{false};
    std::atomic<int> calls{0};
};
SlowCallback* g_slow = nullptr;

void slow_callback(DWORD, const void*, DWORD, DWORD) {
    ++g_slow->calls;
    std::unique_lock lock(g_slow->mutex);
    g_slow->entered = true;
    g_slow->changed.notify_all();
    g_slow->changed.wait_for(lock, patience, [] { return g_slow->released; });
    g_slow->finished = true;
}

} // namespace

TEST_F(SimNotificationTest, ClosingWaitsForARunningCallbackAndStopsAllLaterOnes) {
    SlowCallback slow;
    g_slow = &slow;
    HSIM sim;
    ASSERT_EQ(SimInitialize(SIM_INIT_SIMCARD_NOTIFICATIONS, slow_callback, 0, &sim), S_OK);
    SimHandle writer;
    ASSERT_EQ(write_named(writer, SIM_PBINDEX_FIRSTAVAILABLE, u"One"), S_OK);
    {
        std::unique_lock lock(slow.mutex);
        ASSERT_TRUE(slow.changed.wait_for(lock, patience, [&] { return slow.entered; }));
    }

    std::atomic<bool> closing{false};
    bool finished_when_closed = false;
    std::thread closer([&] {
        closing = true;
        EXPECT_EQ(SimDeinitialize(sim), S_OK);
        finished_when_closed = slow.finished;
    });
    while (!closing) {
        std::this_thread::yield();
    }
    // Not a measurement: gives the closer the chance to reach its wait before the release.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        std::lock_guard lock(slow.mutex);
        slow.released = true;
        slow.changed.notify_all();
    }
    closer.join();
    EXPECT_TRUE(finished_when_closed) << "SimDeinitialize returned while its callback ran";

    SimHandle witness(SIM_INIT_SIMCARD_NOTIFICATIONS, record_callback, 0);
    ASSERT_EQ(write_named(writer, SIM_PBINDEX_FIRSTAVAILABLE, u"Two"), S_OK);
    ASSERT_TRUE(recorder(0).wait_for(1));
    EXPECT_EQ(slow.calls, 1);
}
