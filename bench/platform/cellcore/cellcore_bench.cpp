// The SIM library through its public calls on the emulated card: 1000 reads of a full card, 250
// writes to the first free slot of an empty one, and how long a change made by another
// connection (as handsetctl makes it) takes to reach a notified handle. Run with
// --benchmark_repetitions=10 --benchmark_report_aggregates_only=true for medians.
#include "base/device_folder.h"
#include "cellcore/card_file.h"

#include <simmgr.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

namespace {

class BenchDevice {
  public:
    BenchDevice() {
        std::string pattern = std::filesystem::temp_directory_path() / "cellcore-bench-XXXXXX";
        m_folder = ::mkdtemp(pattern.data());
        handset::set_device_folder(m_folder);
    }
    ~BenchDevice() {
        handset::set_device_folder({});
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    handset::CardFile blank_card() {
        return handset::CardFile::create(handset::CardFile::default_path(), {});
    }

  private:
    std::filesystem::path m_folder;
};

SIMPHONEBOOKENTRY sample_entry(int n) {
    SIMPHONEBOOKENTRY entry{};
    entry.cbSize = sizeof entry;
    entry.dwParams = SIM_PARAM_PBE_ALL;
    const std::u16string name = u"Contact " + std::u16string(1, char16_t(u'A' + n % 26));
    std::copy(name.begin(), name.end(), entry.lpszText);
    const std::u16string number = u"+49301234567";
    std::copy(number.begin(), number.end(), entry.lpszAddress);
    return entry;
}

void read_1000(benchmark::State& state) {
    BenchDevice device;
    device.blank_card();
    HSIM sim;
    SimInitialize(SIM_INIT_NONE, nullptr, 0, &sim);
    for (int slot = 1; slot <= 250; ++slot) {
        SIMPHONEBOOKENTRY entry = sample_entry(slot);
        SimWritePhonebookEntry(sim, SIM_PBSTORAGE_SIM, DWORD(slot), &entry);
    }
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            SIMPHONEBOOKENTRY entry;
            if (SimReadPhonebookEntry(sim, SIM_PBSTORAGE_SIM, DWORD(i % 250 + 1), &entry) != S_OK) {
                state.SkipWithError("read failed");
            }
            benchmark::DoNotOptimize(entry);
        }
    }
    SimDeinitialize(sim);
}
BENCHMARK(read_1000)->Unit(benchmark::kMillisecond);

void write_250(benchmark::State& state) {
    BenchDevice device;
    HSIM sim;
    for (auto _ : state) {
        state.PauseTiming();
        device.blank_card();
        SimInitialize(SIM_INIT_NONE, nullptr, 0, &sim);
        state.ResumeTiming();
        for (int i = 0; i < 250; ++i) {
            SIMPHONEBOOKENTRY entry = sample_entry(i);
            if (SimWritePhonebookEntry(sim, SIM_PBSTORAGE_SIM, SIM_PBINDEX_FIRSTAVAILABLE,
                                       &entry) != S_OK) {
                state.SkipWithError("write failed");
            }
        }
        state.PauseTiming();
        SimDeinitialize(sim);
        state.ResumeTiming();
    }
}
BENCHMARK(write_250)->Unit(benchmark::kMillisecond);

std::mutex g_mutex;
std::condition_variable g_arrived;
int g_notifications = 0;

void count_notification(DWORD, const void*, DWORD, DWORD) {
    std::lock_guard lock(g_mutex);
    ++g_notifications;
    g_arrived.notify_all();
}

// A change committed through another connection, which the library learns of only by polling.
void notification_from_another_connection(benchmark::State& state) {
    BenchDevice device;
    handset::CardFile other = device.blank_card();
    HSIM sim;
    SimInitialize(SIM_INIT_SIMCARD_NOTIFICATIONS, count_notification, 0, &sim);
    int slot = 0;
    for (auto _ : state) {
        std::unique_lock lock(g_mutex);
        const int before = g_notifications;
        lock.unlock();
        other.store(slot % 250 + 1, {u"Remote", {}, {}, {}}, handset::EntryFields::all);
        ++slot;
        lock.lock();
        if (!g_arrived.wait_for(lock, std::chrono::seconds(5),
                                [&] { return g_notifications > before; })) {
            state.SkipWithError("no notification");
        }
    }
    SimDeinitialize(sim);
}
BENCHMARK(notification_from_another_connection)->Unit(benchmark::kMillisecond)->Iterations(40);

} // namespace

BENCHMARK_MAIN();
