// The bulk actions of the confirmation list as the person waits for them, headless, with Telvane
// run in this process by the automation driver: from the tap on Delete (or Copy) to the main view
// refilled (or back in front and idle), with all 250 entries of a full card checked. The box that
// reports the result is answered at once.
#include "automation/driver.h"
#include "automation/window_input.h"
#include "bench_device.h"
#include "display/shell_input.h"
#include "shell/app.h"
#include "telvane_ids.h"
#include "views/main_view.h"
#include "views/tree.h"

#include <aygshell.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

namespace {

constexpr handset::Milliseconds kWait{20000};
const std::string kMainFilled = "Telvane <RD_INFO>: CTRL_MAIN_EnableMenu: Enable Menubar == TRUE";
const std::string kListFilled =
    "Telvane <RD_INFO>: CTRL_CONFIRM_EnableMenu: Enable Menubar == TRUE";

class RunningTelvane {
  public:
    explicit RunningTelvane(const BenchDevice& device)
        : m_input(m_window_system), m_driver(m_input) {
        m_driver.start(WinMain, device.folder());
    }

    ~RunningTelvane() {
        PostMessageW(APP_GetMainWindow(), WM_CLOSE, 0, 0);
        m_driver.wait_for_exit(kWait);
    }

    handset::Driver& driver() { return m_driver; }

    int count_lines(const std::string& line) const {
        std::vector<std::string> lines = m_driver.debug_lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }

    bool wait_for_line(const std::string& line, int count) {
        return m_driver.wait_until([&] { return count_lines(line) >= count; }, kWait);
    }

  private:
    handset::WindowSystemInput m_window_system;
    handset::ShellInput m_input;
    handset::Driver m_driver;
};

BenchDevice* g_pDevice = nullptr;
RunningTelvane* g_pTelvane = nullptr;
int g_iMainFills = 1;

// Puts 250 entries on the card and an empty contacts store beside it, and waits for the running
// main view to show them.
bool PrepareTheCard() {
    {
        handset::CardFile card = handset::CardFile::open(g_pDevice->folder() / "sim.db");
        card.clear();
        for (int slot = 1; slot <= 250; ++slot) {
            handset::PhonebookEntry entry;
            entry.name = u"Entry " + BenchDevice::digits(slot);
            entry.number = *handset::DiallingNumber::parse(u"+49170" + BenchDevice::digits(slot));
            card.store(slot, entry, handset::EntryFields::all);
        }
    }
    handset::StoreResult result;
    std::unique_ptr<handset::ContactStore> store =
        handset::ContactStore::open(g_pDevice->folder() / "contacts.db", result);
    std::vector<handset::ContactRecord> contacts;
    store->list(contacts);
    for (const handset::ContactRecord& contact : contacts) {
        store->remove(contact.id);
    }
    SendMessageW(g_hMainDlg, WM_MAIN_REFRESH, 0, 0);
    ++g_iMainFills;
    return g_pTelvane->wait_for_line(kMainFilled, g_iMainFills) &&
           g_pTelvane->driver().wait_until_idle(kWait);
}

// Each iteration starts from a full card with every entry checked and the list open; only the
// action itself is timed.
void TimeTheAction(benchmark::State& state, UINT uCommand, bool bRefills) {
    for (auto _ : state) {
        state.PauseTiming();
        if (!PrepareTheCard()) {
            state.SkipWithError("the main view did not fill");
            break;
        }
        TREE_CHECKBOX_SetAll(g_hSIMTree, IMG_CHECKED);
        const int iListFills = g_pTelvane->count_lines(kListFilled) + 1;
        PostMessageW(g_hMainDlg, WM_COMMAND, uCommand, 0);
        if (!g_pTelvane->wait_for_line(kListFilled, iListFills) ||
            !g_pTelvane->driver().wait_until_idle(kWait)) {
            state.SkipWithError("the confirmation list did not fill");
            break;
        }
        state.ResumeTiming();
        g_pTelvane->driver().press_key(VK_TSOFT1);
        HWND box = g_pTelvane->driver().wait_for_message_box(kWait);
        g_pTelvane->driver().answer(box);
        g_iMainFills += bRefills ? 1 : 0;
        bool bDone = g_pTelvane->wait_for_line(kMainFilled, g_iMainFills) &&
                     g_pTelvane->driver().wait_until(
                         [] { return APP_GetCurrentDialog() == IDD_MAIN; }, kWait) &&
                     g_pTelvane->driver().wait_until_idle(kWait);
        if (!box || !bDone) {
            state.SkipWithError("the action did not finish");
            break;
        }
    }
}

void BM_DeleteAll250CheckedEntriesToTheRefilledMainView(benchmark::State& state) {
    TimeTheAction(state, ID_DELETE, true);
}
BENCHMARK(BM_DeleteAll250CheckedEntriesToTheRefilledMainView)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

void BM_Copy250CheckedEntriesIntoAnEmptyContactsStore(benchmark::State& state) {
    TimeTheAction(state, ID_COPY_TO_CONTACTS, false);
}
BENCHMARK(BM_Copy250CheckedEntriesIntoAnEmptyContactsStore)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

} // namespace

// A program's window class lives as long as its process, so Telvane runs once for every
// benchmark here.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    BenchDevice device;
    device.fill_card(250);
    device.fill_contacts(0);
    g_pDevice = &device;
    {
        RunningTelvane telvane(device);
        g_pTelvane = &telvane;
        if (telvane.wait_for_line(kMainFilled, 1)) {
            benchmark::RunSpecifiedBenchmarks();
        }
        g_pTelvane = nullptr;
    }
    benchmark::Shutdown();
    return 0;
}
