// Filling the program's trees through its own layers, on the dialog thread, headless: the main
// view's SIM tree from a full card, and a contacts tree of 5000 contacts with three numbers each
// from a real contacts.db, by the retrieve view's own fill.
#include "bench_device.h"
#include "contacts/contacts_access.h"
#include "shell/resources.h"
#include "sim/sim_access.h"
#include "tree_window.h"
#include "views/main_view.h"
#include "views/retrieve_view.h"
#include "views/tree.h"

#include <commctrl.h>
#include <winuser.h>

#include <benchmark/benchmark.h>

namespace {

void BM_FillTheSIMTreeFromAFullCard(benchmark::State& state) {
    const int slots = static_cast<int>(state.range(0));
    BenchDevice device;
    device.fill_card(slots);
    TreeWindow window;
    g_hSIMTree = window.tree();
    for (auto _ : state) {
        CTRL_MAIN_FillSIMTree();
    }
    benchmark::DoNotOptimize(TREE_GetParentCount(g_hSIMTree));
    SIM_Release();
    state.SetItemsProcessed(state.iterations() * slots);
}
BENCHMARK(BM_FillTheSIMTreeFromAFullCard)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_BuildAContactTreeOf5000ContactsWithThreeNumbers(benchmark::State& state) {
    BenchDevice device;
    device.fill_contacts(5000);
    TreeWindow window;
    CONTACT_Init(nullptr);
    g_hContactTree = window.tree();
    for (auto _ : state) {
        CTRL_CONTACT_MAIN_FillTree(nullptr);
    }
    benchmark::DoNotOptimize(TREE_GetParentCount(window.tree()));
    CONTACT_Release();
    state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_BuildAContactTreeOf5000ContactsWithThreeNumbers)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
