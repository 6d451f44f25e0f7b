// Filling the program's trees through its own layers, on the dialog thread, headless: the main
// view's SIM tree from a full card, and a contacts tree of 5000 contacts with three numbers each
// from a real contacts.db, built as the retrieve view builds it.
#include "bench_device.h"
#include "contacts/contacts_access.h"
#include "shell/resources.h"
#include "sim/sim_access.h"
#include "telvane_ids.h"
#include "views/main_view.h"
#include "views/tree.h"

#include <commctrl.h>
#include <winuser.h>

#include <benchmark/benchmark.h>

#include <iterator>

namespace {

constexpr int kTreeId = 601;

// A screen-sized window holding a tree control, as the views hold theirs.
class TreeWindow {
  public:
    TreeWindow() {
        RC_LoadResDll();
        RC_LoadMUI(GetModuleHandleW(nullptr));
        m_parent = CreateWindowExW(0, u"#32770", u"Bench", WS_POPUP | WS_VISIBLE, 0, 0, 240, 294,
                                   nullptr, nullptr, nullptr, nullptr);
        CreateWindowExW(0, WC_TREEVIEWW, u"", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, 0, 18, 240,
                        276, m_parent, HMENU(kTreeId), nullptr, nullptr);
        m_tree = TREE_Init(m_parent, kTreeId);
        TREE_CreateImageList(m_tree);
    }

    ~TreeWindow() { DestroyWindow(m_parent); }

    HWND tree() const { return m_tree; }

  private:
    HWND m_parent = nullptr;
    HWND m_tree = nullptr;
};

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

// A contact's numbers in the order the retrieve view shows them, each with its label.
struct NumberField {
    int iField;
    UINT uLabel;
    LPCWSTR (*pfnGet)(IContact* pContact);
};

const NumberField kNumberFields[] = {
    {FIELD_MOBILE, IDS_LABEL_MOBILE, CONTACTITEM_GetMobileTel},
    {FIELD_HOME, IDS_LABEL_HOME, CONTACTITEM_GetHomeTel},
    {FIELD_WORK, IDS_LABEL_WORK, CONTACTITEM_GetBussinessTel},
};

// One contact: "Last, First" at the top, sorted, and a child per number, "[M] +49...".
void InsertContact(HWND hTree, IContact* pContact, int iIndex, const WCHAR (*labels)[10]) {
    WCHAR szName[260];
    StringCchPrintfW(szName, 260, u"%s, ", CONTACTITEM_GetLastName(pContact));
    StringCchCatW(szName, 260, CONTACTITEM_GetFirstName(pContact));
    HTREEITEM hContact = TREE_InsertItem(hTree, nullptr, 1, IMG_UNCHECKED, szName, iIndex, 0);
    for (size_t i = 0; i < std::size(kNumberFields); ++i) {
        WCHAR szChild[260];
        StringCchPrintfW(szChild, 260, u"%s %s", labels[i], kNumberFields[i].pfnGet(pContact));
        TREE_InsertItem(hTree, hContact, 0, IMG_UNCHECKED, szChild, kNumberFields[i].iField, 1);
    }
}

void BM_BuildAContactTreeOf5000ContactsWithThreeNumbers(benchmark::State& state) {
    BenchDevice device;
    device.fill_contacts(5000);
    TreeWindow window;
    CONTACT_Init(nullptr);
    WCHAR labels[std::size(kNumberFields)][10];
    for (size_t i = 0; i < std::size(kNumberFields); ++i) {
        StringCchCopyW(labels[i], 10, RC_LoadString(kNumberFields[i].uLabel));
    }
    for (auto _ : state) {
        TREE_DeleteAll(window.tree());
        const int count = CONTACT_GetCount();
        for (int i = 1; i <= count; ++i) {
            IContact* pContact = nullptr;
            if (CONTACT_GetItem(i, &pContact) == 1) {
                InsertContact(window.tree(), pContact, i, labels);
                CONTACTITEM_Release(pContact);
            }
        }
    }
    benchmark::DoNotOptimize(TREE_GetParentCount(window.tree()));
    CONTACT_Release();
    state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_BuildAContactTreeOf5000ContactsWithThreeNumbers)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
