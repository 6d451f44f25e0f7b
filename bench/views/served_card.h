// A full card on a device folder of its own, served by handsetctl to the benchmark's device for
// the benchmark's life: as a modem on a pseudo-terminal, or in a virtual smart-card reader.
#pragma once

#include "bench_device.h"
#include "cellcore/card_file.h"
#include "cellcore/service_card.h"
#include "sim/sim_access.h"
#include "tree_window.h"
#include "views/main_view.h"
#include "views/tree.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h> // environ

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

inline constexpr int kServedSlots = 250;

// Starts a program with its standard output and error in a file.
inline pid_t SpawnWithOutput(const std::vector<std::string>& words,
                             const std::filesystem::path& output) {
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

inline std::string FileText(const std::filesystem::path& file) {
    std::ifstream text(file);
    std::stringstream all;
    all << text.rdbuf();
    return all.str();
}

class ServedCard {
  public:
    // Every slot used; with the extended fields in the profile, each entry carries a second
    // number and an e-mail too.
    explicit ServedCard(const handset::CardProfile& profile) {
        std::string pattern = std::filesystem::temp_directory_path() / "telvane-served-XXXXXX";
        m_folder = ::mkdtemp(pattern.data());
        handset::CardFile card = handset::CardFile::create(m_folder / "sim.db", profile);
        for (int slot = 1; slot <= profile.slots; ++slot) {
            card.store(slot, entry(slot, profile.extended), handset::EntryFields::all);
        }
    }
    ~ServedCard() {
        stop();
        std::filesystem::remove_all(m_folder);
    }
    ServedCard(const ServedCard&) = delete;
    ServedCard& operator=(const ServedCard&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }

    // handsetctl with these words after the device's; waits for its first line of output
    // (empty when none came within 10 s) and returns it.
    std::string serve(const std::vector<std::string>& words) {
        std::vector<std::string> command{HANDSETCTL_PROGRAM, "--device", m_folder.string()};
        command.insert(command.end(), words.begin(), words.end());
        m_server = SpawnWithOutput(command, m_folder / "serve.txt");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            const std::string output = FileText(m_folder / "serve.txt");
            if (const size_t end = output.find('\n'); end != std::string::npos) {
                return output.substr(0, end);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {};
    }

    void stop() {
        if (m_server > 0) {
            ::kill(m_server, SIGTERM);
            ::waitpid(m_server, nullptr, 0);
            m_server = -1;
        }
    }

  private:
    static handset::PhonebookEntry entry(int slot, const handset::ExtendedCapabilities& extended) {
        handset::PhonebookEntry entry;
        entry.name = u"Entry " + BenchDevice::digits(slot);
        entry.number = *handset::DiallingNumber::parse(u"+49170" + BenchDevice::digits(slot));
        if (extended.holds_additional_number()) {
            entry.additional_number =
                *handset::DiallingNumber::parse(u"030" + BenchDevice::digits(slot));
        }
        if (extended.holds_email()) {
            entry.email = u"entry" + BenchDevice::digits(slot) + u"@example.org";
        }
        return entry;
    }

    std::filesystem::path m_folder;
    pid_t m_server = -1;
};

// The device's card driver, as handsetctl driver would set it.
inline void
UseCardDriver(const BenchDevice& device,
              const std::vector<std::pair<std::u16string, handset::RegistryValue>>& values) {
    for (const auto& [name, value] : values) {
        handset::set_registry_value(device.folder() / "registry.reg",
                                    handset::RegistryRoot::local_machine, u"Handset\\Card", name,
                                    value);
    }
}

// The main view's fill of the served card, each one cold as a program's first: the card service
// is stopped before it, so the fill pays for starting the service and reaching the card.
inline void MeasureColdFills(benchmark::State& state, const BenchDevice& device) {
    TreeWindow window;
    g_hSIMTree = window.tree();
    for (auto _ : state) {
        state.PauseTiming();
        SIM_Release();
        handset::stop_card_service(device.folder());
        state.ResumeTiming();
        CTRL_MAIN_FillSIMTree();
    }
    if (TREE_GetParentCount(g_hSIMTree) != kServedSlots) {
        state.SkipWithError("the fill did not list every entry");
    }
    SIM_Release();
    handset::stop_card_service(device.folder());
}
