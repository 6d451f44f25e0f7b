// The main view's fill of a full card of 250 entries through a modem, against gammu reading the
// same phonebook, in one run: both on the AT front that handsetctl serves for a second device's
// card on a pseudo-terminal at 115200 baud. Each fill starts cold, as a program's first one does:
// the card service is stopped before it, so the fill pays for starting the service and setting
// up the modem, as gammu pays for its own start. Run with --benchmark_repetitions=5 for medians.
#include "bench_device.h"
#include "cellcore/service_card.h"
#include "sim/sim_access.h"
#include "tree_window.h"
#include "views/main_view.h"
#include "views/tree.h"

#include <commctrl.h>
#include <winuser.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

constexpr int kSlots = 250;
constexpr int kBaud = 115200;

pid_t spawn(const std::vector<std::string>& words, const std::filesystem::path& output) {
    std::vector<char*> arguments;
    for (const std::string& word : words) {
        arguments.push_back(const_cast<char*>(word.c_str()));
    }
    arguments.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t process = -1;
    posix_spawnp(&process, arguments[0], &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return process;
}

// A full card on a device of its own, served as a modem for the benchmark's life.
class ServedCard {
  public:
    ServedCard() {
        std::string pattern = std::filesystem::temp_directory_path() / "telvane-modem-XXXXXX";
        m_folder = ::mkdtemp(pattern.data());
        handset::CardProfile profile;
        profile.slots = kSlots;
        handset::CardFile card = handset::CardFile::create(m_folder / "sim.db", profile);
        for (int slot = 1; slot <= kSlots; ++slot) {
            handset::PhonebookEntry entry;
            entry.name = u"Entry " + BenchDevice::digits(slot);
            entry.number = *handset::DiallingNumber::parse(u"+49170" + BenchDevice::digits(slot));
            card.store(slot, entry, handset::EntryFields::all);
        }
        m_server = spawn({HANDSETCTL_PROGRAM, "--device", m_folder.string(), "modem", "serve",
                          "--pty", "--baud", std::to_string(kBaud)},
                         m_folder / "serve.txt");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (m_port.empty() && std::chrono::steady_clock::now() < deadline) {
            std::ifstream(m_folder / "serve.txt") >> m_port;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~ServedCard() {
        ::kill(m_server, SIGTERM);
        ::waitpid(m_server, nullptr, 0);
        std::filesystem::remove_all(m_folder);
    }

    const std::string& port() const { return m_port; }
    const std::filesystem::path& folder() const { return m_folder; }

  private:
    std::filesystem::path m_folder;
    pid_t m_server = -1;
    std::string m_port;
};

ServedCard& served_card() {
    static ServedCard card;
    return card;
}

void BM_MainViewFillsTwoHundredFiftyEntriesThroughTheModem(benchmark::State& state) {
    BenchDevice device;
    const std::string& port = served_card().port();
    for (const auto& [name, value] :
         {std::pair<std::u16string, std::u16string>{u"Driver", u"modem"},
          {u"Port", std::u16string(port.begin(), port.end())}}) {
        handset::set_registry_value(device.folder() / "registry.reg",
                                    handset::RegistryRoot::local_machine, u"Handset\\Card", name,
                                    handset::RegistryValue::string(value));
    }
    handset::set_registry_value(device.folder() / "registry.reg",
                                handset::RegistryRoot::local_machine, u"Handset\\Card", u"Baud",
                                handset::RegistryValue::dword(kBaud));
    TreeWindow window;
    g_hSIMTree = window.tree();
    for (auto _ : state) {
        state.PauseTiming();
        SIM_Release();
        handset::stop_card_service(device.folder());
        state.ResumeTiming();
        CTRL_MAIN_FillSIMTree();
    }
    if (TREE_GetParentCount(g_hSIMTree) != kSlots) {
        state.SkipWithError("the fill did not list every entry");
    }
    SIM_Release();
    handset::stop_card_service(device.folder());
}
BENCHMARK(BM_MainViewFillsTwoHundredFiftyEntriesThroughTheModem)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_GammuGetsAllTwoHundredFiftyEntries(benchmark::State& state) {
    const std::filesystem::path config = served_card().folder() / "gammurc";
    std::ofstream(config) << "[gammu]\nconnection = at\ndevice = " << served_card().port() << "\n";
    const std::filesystem::path output = served_card().folder() / "gammu.txt";
    for (auto _ : state) {
        const pid_t gammu = spawn({"gammu", "-c", config.string(), "getallmemory", "SM"}, output);
        int status = 0;
        ::waitpid(gammu, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("gammu failed");
        }
    }
    std::ifstream text(output);
    std::stringstream all;
    all << text.rdbuf();
    if (all.str().find("Entry " + std::to_string(kSlots)) == std::string::npos) {
        state.SkipWithError("gammu did not read every entry");
    }
}
BENCHMARK(BM_GammuGetsAllTwoHundredFiftyEntries)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
