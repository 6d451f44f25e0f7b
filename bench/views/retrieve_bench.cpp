// The retrieve view as the person meets it, with Telvane running in this process, headless, on
// 5000 contacts with three numbers each: from the command that opens the view to its soft keys set
// again after the fill, and from the Retrieve soft key with 250 numbers checked to the summary
// that says they are on the empty card. One program serves every run: a process starts it once.
#include "automation/driver.h"
#include "automation/window_input.h"
#include "bench_device.h"
#include "display/shell_input.h"
#include "shell/app.h"
#include "telvane_ids.h"
#include "views/main_view.h"
#include "views/retrieve_view.h"
#include "views/tree.h"

#include <commctrl.h>
#include <winuser.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

constexpr handset::Milliseconds kWait{60000};
using Clock = std::chrono::steady_clock;

// Telvane started on the device and waited for until its main view has been filled.
class RunningTelvane {
  public:
    explicit RunningTelvane(const BenchDevice& device)
        : m_input(m_window_system), m_driver(m_input, false) {
        m_driver.start(WinMain, device.folder());
        m_driver.wait_for_window({u"SysTreeView32", std::nullopt, IDC_SIM_TREE}, kWait);
        m_driver.wait_until_idle(kWait);
    }

    ~RunningTelvane() {
        PostMessageW(APP_GetMainWindow(), WM_CLOSE, 0, 0);
        m_driver.wait_for_exit(kWait);
    }

    handset::Driver& driver() { return m_driver; }

    // Polls closely, so that the time taken is what the program took.
    static bool WaitUntil(const std::function<bool()>& condition) {
        const auto deadline = Clock::now() + kWait;
        while (!condition()) {
            if (Clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return true;
    }

    // Opens the view and waits until its fill of `items` tree items has set the soft keys again
    // and taken the wait cursor away.
    bool OpenRetrieveView(int items) {
        const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
        PostMessageW(g_hMainDlg, WM_COMMAND, ID_RETRIEVE_FROM_CONTACTS, 0);
        return WaitUntil([&] {
            return APP_GetCurrentDialog() == IDD_RETRIEVE &&
                   SendMessageW(g_hContactTree, TVM_GETCOUNT, 0, 0) == items && GetCursor() != wait;
        });
    }

    bool BackInTheMainView() {
        return m_driver.wait_until([] { return APP_GetCurrentDialog() == IDD_MAIN; }, kWait) &&
               m_driver.wait_until_idle(kWait);
    }

  private:
    handset::WindowSystemInput m_window_system;
    handset::ShellInput m_input;
    handset::Driver m_driver;
};

RunningTelvane* g_telvane = nullptr;
constexpr int kContacts = 5000;

void BM_OpenTheRetrieveViewOn5000ContactsWithThreeNumbers(benchmark::State& state) {
    for (auto _ : state) {
        const auto started = Clock::now();
        if (!g_telvane->OpenRetrieveView(kContacts * 4)) {
            state.SkipWithError("the view did not open and fill");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - started).count());
        PostMessageW(GetParent(g_hContactTree), WM_COMMAND, ID_CANCEL, 0);
        g_telvane->BackInTheMainView();
    }
}
BENCHMARK(BM_OpenTheRetrieveViewOn5000ContactsWithThreeNumbers)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

HTREEITEM Next(HTREEITEM item, UINT relation) {
    return HTREEITEM(static_cast<DWORD>(SendMessageW(g_hContactTree, TVM_GETNEXTITEM, relation,
                                                     static_cast<LPARAM>(item.value()))));
}

// Checks the numbers of the first contacts in tree order until `numbers` are checked; the last
// contact may keep some unchecked.
void CheckNumbers(int numbers) {
    for (HTREEITEM contact = Next(HTREEITEM(), TVGN_ROOT); contact && numbers > 0;
         contact = Next(contact, TVGN_NEXT)) {
        HTREEITEM number = Next(contact, TVGN_CHILD);
        for (; number && numbers > 0; number = Next(number, TVGN_NEXT), --numbers) {
            TREEITEM_SetImgIndex(g_hContactTree, number, IMG_CHECKED);
        }
        TREE_CHECKBOX_UpdateParent(g_hContactTree, Next(contact, TVGN_CHILD));
    }
}

void BM_Retrieve250CheckedNumbersOntoAnEmptyCard(benchmark::State& state) {
    handset::CardFile card = handset::CardFile::open(handset::CardFile::default_path());
    for (auto _ : state) {
        card.clear();
        g_telvane->driver().wait_until_idle(kWait);
        if (!g_telvane->OpenRetrieveView(kContacts * 4)) {
            state.SkipWithError("the view did not open and fill");
            break;
        }
        CheckNumbers(250);

        const auto started = Clock::now();
        PostMessageW(GetParent(g_hContactTree), WM_COMMAND, ID_RETRIEVE, 0);
        HWND box = g_telvane->driver().wait_for_message_box(kWait);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - started).count());
        if (!box || card.used_slots() != 250) {
            state.SkipWithError("the retrieval did not fill the card");
            break;
        }
        g_telvane->driver().answer(box);
        g_telvane->BackInTheMainView();
    }
}
BENCHMARK(BM_Retrieve250CheckedNumbersOntoAnEmptyCard)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    BenchDevice device;
    handset::CardFile::create(device.folder() / "sim.db", {});
    device.fill_contacts(kContacts);
    RunningTelvane telvane(device);
    g_telvane = &telvane;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
