// The tree view under the load the phonebook views give it: 5000 sorted inserts, as a contacts
// tree fill does, and a full repaint of a screen of items with their images.
#include "gdi/bitmap_access.h"
#include "gdi/screen.h"

#include <commctrl.h>

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

LRESULT CALLBACK plain_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(window, message, wparam, lparam);
}

class TreeWindow {
  public:
    TreeWindow() {
        handset::Screen::instance().set_profile(handset::ScreenProfile::qvga());
        static const bool registered = [] {
            WNDCLASSW record{};
            record.lpfnWndProc = plain_procedure;
            record.lpszClassName = u"CommctrlBenchParent";
            return RegisterClassW(&record) != 0;
        }();
        (void)registered;
        m_parent = CreateWindowExW(0, u"CommctrlBenchParent", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240,
                                   320, HWND(), HMENU(), HINSTANCE(), nullptr);
        m_tree = CreateWindowExW(0, WC_TREEVIEWW, u"",
                                 WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES |
                                     TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                                 0, 18, 240, 302, m_parent, HMENU(), HINSTANCE(), nullptr);
        m_images = ImageList_Create(25, 25, ILC_COLOR32, 13, 13);
        handset::Surface strip(25 * 13, 25, 0x80336699u);
        const HBITMAP bitmap = handset::create_bitmap(handset::BitmapPixels{strip, true});
        ImageList_Add(m_images, bitmap, HBITMAP());
        DeleteObject(bitmap);
        SendMessageW(m_tree, TVM_SETIMAGELIST, TVSIL_NORMAL, static_cast<LPARAM>(m_images.value()));
        pump();
    }
    ~TreeWindow() {
        DestroyWindow(m_parent);
        ImageList_Destroy(m_images);
        pump();
    }

    HWND tree() const { return m_tree; }

    HTREEITEM insert(const std::u16string& text, HTREEITEM parent, HTREEITEM after) {
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
        insert.item.pszText = const_cast<LPWSTR>(text.c_str());
        insert.item.iImage = 4;
        insert.item.iSelectedImage = 4;
        insert.item.cChildren = 1;
        return HTREEITEM(static_cast<uint32_t>(
            SendMessageW(m_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
    }

    static void pump() {
        MSG message{};
        while (PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }

  private:
    HWND m_parent;
    HWND m_tree;
    HIMAGELIST m_images;
};

std::vector<std::u16string> contact_names(size_t count) {
    std::mt19937 random(5000);
    std::uniform_int_distribution<int> letter(0, 25);
    std::vector<std::u16string> names;
    for (size_t i = 0; i < count; ++i) {
        std::u16string name;
        for (int c = 0; c < 10; ++c) {
            name.push_back(static_cast<char16_t>((c == 0 ? u'A' : u'a') + letter(random)));
        }
        names.push_back(name + u"," + name.substr(0, 5));
    }
    return names;
}

void BM_TreeSortedInsert5000(benchmark::State& state) {
    TreeWindow window;
    const std::vector<std::u16string> names = contact_names(5000);
    for (auto _ : state) {
        for (const std::u16string& name : names) {
            window.insert(name, TVI_ROOT, TVI_SORT);
        }
        state.PauseTiming();
        SendMessageW(window.tree(), TVM_DELETEITEM, 0, static_cast<LPARAM>(TVI_ROOT.value()));
        TreeWindow::pump();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_TreeSortedInsert5000)->Unit(benchmark::kMillisecond);

void BM_TreeRepaintScreenOfItems(benchmark::State& state) {
    TreeWindow window;
    for (const std::u16string& name : contact_names(500)) {
        const HTREEITEM contact = window.insert(name, TVI_ROOT, TVI_SORT);
        window.insert(u"[M] +44 7700 900123", contact, TVI_LAST);
        SendMessageW(window.tree(), TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(contact.value()));
    }
    TreeWindow::pump();
    for (auto _ : state) {
        InvalidateRect(window.tree(), nullptr, TRUE);
        UpdateWindow(window.tree());
    }
}
BENCHMARK(BM_TreeRepaintScreenOfItems)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
