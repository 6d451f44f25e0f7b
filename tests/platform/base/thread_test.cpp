#include "base/thread_lifecycle.h"

#include "thread_signal.h"

#include <winbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

struct Start {
    Signal done;
    Signal may_finish;
    DWORD seen_id = 0;
    LPVOID seen_parameter = nullptr;
};

DWORD WINAPI record_and_wait(LPVOID parameter) {
    auto* start = static_cast<Start*>(parameter);
    start->seen_id = GetCurrentThreadId();
    start->seen_parameter = parameter;
    (void)start->may_finish.wait();
    start->done.raise();
    return 0;
}

} // namespace

TEST(Thread, RunsToItsEndAfterItsHandleIsClosed) {
    Start start;
    DWORD id = 0;
    const HANDLE thread = CreateThread(nullptr, 0, record_and_wait, &start, 0, &id);
    ASSERT_TRUE(thread);
    EXPECT_TRUE(CloseHandle(thread));
    start.may_finish.raise();
    ASSERT_TRUE(start.done.wait());
    EXPECT_EQ(start.seen_parameter, &start);
    EXPECT_EQ(start.seen_id, id);
    EXPECT_NE(id, GetCurrentThreadId());
}

TEST(Thread, TheEndOfAProgramWaitsUntilEveryThreadItMadeHasReturned) {
    Start start;
    const HANDLE thread = CreateThread(nullptr, 0, record_and_wait, &start, 0, nullptr);
    ASSERT_TRUE(thread);
    CloseHandle(thread);
    EXPECT_FALSE(handset::wait_for_created_threads(std::chrono::milliseconds(50)));
    start.may_finish.raise();
    EXPECT_TRUE(handset::wait_for_created_threads(Signal::patience));
    EXPECT_TRUE(start.done.raised());
}

TEST(Thread, GivesEachThreadItsOwnLastingIdentity) {
    constexpr int count = 6;
    Start starts[count];
    std::set<DWORD> ids{GetCurrentThreadId()};
    for (Start& start : starts) {
        start.may_finish.raise();
        DWORD id = 0;
        const HANDLE thread = CreateThread(nullptr, 0, record_and_wait, &start, 0, &id);
        ASSERT_TRUE(thread);
        CloseHandle(thread);
        ids.insert(id);
    }
    for (Start& start : starts) {
        ASSERT_TRUE(start.done.wait());
    }
    EXPECT_EQ(ids.size(), count + 1u);
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
    EXPECT_NE(GetCurrentThreadId(), 0u);
}

TEST(Thread, RefusesWhatItCannotDo) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    Start start;
    constexpr DWORD create_suspended = 0x4;
    EXPECT_FALSE(CreateThread(nullptr, 0, record_and_wait, &start, create_suspended, nullptr));
}

TEST(Thread, ClosesEachHandleOnce) {
    Start start;
    start.may_finish.raise();
    const HANDLE thread = CreateThread(nullptr, 0, record_and_wait, &start, 0, nullptr);
    ASSERT_TRUE(thread);
    EXPECT_TRUE(CloseHandle(thread));
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CloseHandle(thread));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(HANDLE{}));
    ASSERT_TRUE(start.done.wait());
}

TEST(Thread, KeepsTheLastErrorPerThread) {
    SetLastError(1234);
    Start start;
    start.may_finish.raise();
    struct Probe {
        Start* start;
        DWORD seen = 99;
    } probe{&start};
    const HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            auto* p = static_cast<Probe*>(parameter);
            p->seen = GetLastError();
            SetLastError(5);
            p->start->done.raise();
            return 0;
        },
        &probe, 0, nullptr);
    ASSERT_TRUE(thread);
    CloseHandle(thread);
    ASSERT_TRUE(start.done.wait());
    EXPECT_EQ(probe.seen, 0u);
    EXPECT_EQ(GetLastError(), 1234u);
}

namespace {

class RecordingObserver : public handset::ThreadLifecycleObserver {
  public:
    void thread_started() override { record("started"); }
    void thread_ending() override { record("ending"); }

    void record(const std::string& event) {
        std::lock_guard lock(m_mutex);
        m_events.push_back(event + " " + std::to_string(GetCurrentThreadId()));
    }

    std::vector<std::string> events() {
        std::lock_guard lock(m_mutex);
        return m_events;
    }

  private:
    std::mutex m_mutex;
    std::vector<std::string> m_events;
};

struct ObservedStart {
    RecordingObserver* observer;
    Signal ended;
};

} // namespace

TEST(Thread, TellsTheObserverOnTheNewThreadAroundItsStartRoutine) {
    RecordingObserver observer;
    handset::set_thread_lifecycle_observer(&observer);
    ObservedStart start{&observer, {}};
    DWORD id = 0;
    const HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            static_cast<ObservedStart*>(parameter)->observer->record("running");
            return 0;
        },
        &start, 0, &id);
    ASSERT_TRUE(thread);
    CloseHandle(thread);

    const std::string expected_end = "ending " + std::to_string(id);
    for (int attempt = 0; attempt < 10000; ++attempt) {
        const auto events = observer.events();
        if (!events.empty() && events.back() == expected_end) {
            break;
        }
        Sleep(1);
    }
    handset::set_thread_lifecycle_observer(nullptr);
    const std::string suffix = " " + std::to_string(id);
    EXPECT_THAT(observer.events(),
                testing::ElementsAre("started" + suffix, "running" + suffix, "ending" + suffix));
}

TEST(Time, AdvancesTheTickCountAtLeastAsLongAsItSleeps) {
    const DWORD before = GetTickCount();
    Sleep(30);
    EXPECT_GE(GetTickCount() - before, 29u);
}
