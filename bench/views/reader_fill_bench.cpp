// The main view's fill of a full USIM of 250 entries, each with a second number and an e-mail,
// through a smart-card reader: a second device's emulated card that handsetctl serves in the
// virtual reader of a pcscd of the benchmark's own. Each fill starts cold, as a program's first
// one does: the card service is stopped before it, so the fill pays for starting the service,
// connecting to the reader and reading the card's phonebook files. Run with
// --benchmark_repetitions=5 for medians.
#include "pcsc_daemon.h"
#include "served_card.h"

#include <benchmark/benchmark.h>

namespace {

handset::CardProfile full_usim() {
    handset::CardProfile profile;
    profile.extended.additional_number_digits = 20;
    profile.extended.additional_number_count = 1;
    profile.extended.email_bytes = 40;
    profile.extended.email_count = 1;
    return profile;
}

// The card, in the reader of its own pcscd.
struct ServedReader {
    ServedReader() : card(full_usim()), daemon(card.folder()) {
        if (daemon.started()) {
            daemon.use_in_this_process();
            connected = !card.serve({"card", "serve", "--vpcd", std::to_string(daemon.vpcd_port())})
                             .empty() &&
                        daemon.wait_for_card(std::chrono::seconds(10));
        }
    }
    ~ServedReader() { card.stop(); }
    ServedCard card;
    PcscDaemon daemon;
    bool connected = false;
};

ServedReader& served_reader() {
    static ServedReader reader;
    return reader;
}

void BM_MainViewFillsTwoHundredFiftyExtendedEntriesThroughTheReader(benchmark::State& state) {
    if (!served_reader().connected) {
        state.SkipWithError(
            ("no card in a virtual reader: " + served_reader().daemon.problem()).c_str());
        return;
    }
    BenchDevice device;
    const std::string name = served_reader().daemon.reader_name();
    UseCardDriver(
        device,
        {{u"Driver", handset::RegistryValue::string(u"reader")},
         {u"Reader", handset::RegistryValue::string(std::u16string(name.begin(), name.end()))}});
    handset::set_registry_value(
        device.folder() / "registry.reg", handset::RegistryRoot::local_machine,
        u"Software\\Nemora\\Telvane\\", u"USIMSupport", handset::RegistryValue::dword(1));
    MeasureColdFills(state, device);
}
BENCHMARK(BM_MainViewFillsTwoHundredFiftyExtendedEntriesThroughTheReader)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
