// The modem driver against a scripted modem on a socketpair: a fill of a full phonebook of 250
// entries slot after slot, as the SIM library's readers make it, through the driver's read-ahead
// windows. Reports the AT commands a fill costs besides its time. Run with
// --benchmark_repetitions=10 for medians.
#include "cellcore/modem_card.h"

#include "../../../tests/support/fake_modem.h"

#include <benchmark/benchmark.h>

namespace {

void fill_of_250_entries(benchmark::State& state) {
    size_t commands = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FakeModem modem({}, full_phonebook);
        handset::ModemCard card{handset::SerialLine(modem.take_descriptor())};
        handset::CardProfile profile;
        card.capabilities(profile);
        const size_t before = modem.commands().size();
        state.ResumeTiming();
        for (DWORD index = 1; index <= 250; ++index) {
            handset::PhonebookEntry entry;
            if (card.read_entry(index, entry) != S_OK) {
                state.SkipWithError("a read failed");
            }
        }
        state.PauseTiming();
        commands = modem.commands().size() - before;
        state.ResumeTiming();
    }
    state.counters["AT commands"] = static_cast<double>(commands);
}

} // namespace

BENCHMARK(fill_of_250_entries)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
