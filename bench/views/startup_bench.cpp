// Telvane's start as the person sees it, as a whole process, headless: from the start of the
// program to its main view painted with the 250 entries of a full card, then closed. The script
// waits for the view, for the fill to end and the screen to settle, and closes the program; the
// peak memory of the process is counted as well.
#include "bench_device.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct Run {
    double seconds = 0;
    long peak_kilobytes = 0;
    bool ended_well = false;
};

Run RunTelvane(const BenchDevice& device, const std::filesystem::path& script) {
    const std::string folder = device.folder().string();
    const std::string script_path = script.string();
    const char* argv[] = {TELVANE_PROGRAM, "--device", folder.c_str(),      "--display",
                          "headless",      "--script", script_path.c_str(), nullptr};
    const auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        return {};
    }
    int status = 0;
    rusage usage = {};
    wait4(pid, &status, 0, &usage);
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    run.peak_kilobytes = usage.ru_maxrss;
    run.ended_well = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

void BM_StartToThePaintedMainViewWith250Entries(benchmark::State& state) {
    BenchDevice device;
    device.fill_card(250);
    device.fill_contacts(8);
    const std::filesystem::path script = device.folder() / "start.txt";
    std::ofstream(script) << "wait class SysTreeView32 within 10000\nidle within 10000\nclose\n";
    long peak = 0;
    for (auto _ : state) {
        const Run run = RunTelvane(device, script);
        if (!run.ended_well) {
            state.SkipWithError("Telvane did not start and end cleanly");
            break;
        }
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peak_kilobytes);
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
}
BENCHMARK(BM_StartToThePaintedMainViewWith250Entries)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
