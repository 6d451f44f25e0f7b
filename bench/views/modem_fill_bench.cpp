// The main view's fill of a full card of 250 entries through a modem, against gammu reading the
// same phonebook, in one run: both on the AT front that handsetctl serves for a second device's
// card on a pseudo-terminal at 115200 baud. Each fill starts cold, as a program's first one does:
// the card service is stopped before it, so the fill pays for starting the service and setting
// up the modem, as gammu pays for its own start. Run with --benchmark_repetitions=5 for medians.
#include "served_card.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kBaud = 115200;

// The card and the pseudo-terminal it is served on.
struct ServedModem {
    ServedModem() : card(handset::CardProfile{}) {
        port = card.serve({"modem", "serve", "--pty", "--baud", std::to_string(kBaud)});
    }
    ServedCard card;
    std::string port;
};

ServedModem& served_modem() {
    static ServedModem modem;
    return modem;
}

void BM_MainViewFillsTwoHundredFiftyEntriesThroughTheModem(benchmark::State& state) {
    BenchDevice device;
    const std::string& port = served_modem().port;
    UseCardDriver(
        device,
        {{u"Driver", handset::RegistryValue::string(u"modem")},
         {u"Port", handset::RegistryValue::string(std::u16string(port.begin(), port.end()))},
         {u"Baud", handset::RegistryValue::dword(kBaud)}});
    MeasureColdFills(state, device);
}
BENCHMARK(BM_MainViewFillsTwoHundredFiftyEntriesThroughTheModem)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_GammuGetsAllTwoHundredFiftyEntries(benchmark::State& state) {
    const std::filesystem::path config = served_modem().card.folder() / "gammurc";
    std::ofstream(config) << "[gammu]\nconnection = at\ndevice = " << served_modem().port << "\n";
    const std::filesystem::path output = served_modem().card.folder() / "gammu.txt";
    for (auto _ : state) {
        const pid_t gammu =
            SpawnWithOutput({"gammu", "-c", config.string(), "getallmemory", "SM"}, output);
        int status = 0;
        ::waitpid(gammu, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("gammu failed");
        }
    }
    if (FileText(output).find("Entry " + std::to_string(kServedSlots)) == std::string::npos) {
        state.SkipWithError("gammu did not read every entry");
    }
}
BENCHMARK(BM_GammuGetsAllTwoHundredFiftyEntries)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
