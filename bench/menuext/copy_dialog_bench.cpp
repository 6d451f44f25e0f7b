// Opening the Copy-to-SIM dialog as the person waits for it, headless: from the invocation of the
// command to the dialog painted with 5000 contacts of three numbers each (the tree is filled while
// the dialog initialises). A host window of this process invokes the command, as the Contacts
// application does, and the dialog is closed again between the measurements.
#include "automation/driver.h"
#include "automation/window_input.h"
#include "bench_device.h"
#include "menuext/quorrel.h"
#include "quorrel_ids.h"

#include <shlobj.h>

#include <benchmark/benchmark.h>

extern "C" {
BOOL WINAPI DllMain(HINSTANCE hModule, DWORD dwReason, LPVOID pReserved);
HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
}

namespace {

constexpr handset::Milliseconds kWait{60000};
constexpr UINT WM_INVOKE = WM_APP + 1;
constexpr UINT WM_LEAVE = WM_APP + 2;

void InvokeCopyToSim(HWND hOwner) {
    IClassFactory* factory = nullptr;
    DllGetClassObject(CLSID_MenuExt, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    IContextMenu* menu = nullptr;
    factory->lpVtbl->CreateInstance(factory, nullptr, IID_IContextMenu,
                                    reinterpret_cast<void**>(&menu));
    factory->lpVtbl->Release(factory);
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.hwnd = hOwner;
    menu->lpVtbl->InvokeCommand(menu, &info);
    menu->lpVtbl->Release(menu);
}

LRESULT CALLBACK HostProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_INVOKE) {
        InvokeCopyToSim(hWnd);
        return 0;
    }
    if (uMsg == WM_LEAVE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

int WINAPI HostProgram(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostProc;
    wc.lpszClassName = u"BenchContacts";
    RegisterClassW(&wc);
    DllMain(hInstance, DLL_PROCESS_ATTACH, nullptr);
    CreateWindowExW(0, u"BenchContacts", u"Contacts", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                    nullptr, nullptr, hInstance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

handset::Driver* g_pDriver = nullptr;

void BM_OpenTheDialogOn5000ContactsToItsFirstPaint(benchmark::State& state) {
    handset::Driver& driver = *g_pDriver;
    HWND host = driver.wait_for_window({u"BenchContacts", std::nullopt, std::nullopt}, kWait);
    for (auto _ : state) {
        PostMessageW(host, WM_INVOKE, 0, 0);
        HWND tree = driver.wait_for_window({u"SysTreeView32", std::nullopt, IDC_CONTACTS}, kWait);
        bool bPainted = tree && driver.wait_until_painted(kWait);
        state.PauseTiming();
        if (!bPainted) {
            state.SkipWithError("the dialog did not open");
            break;
        }
        PostMessageW(GetParent(tree), WM_COMMAND, IDM_GO_BACK, 0);
        driver.wait_until([&] { return !IsWindow(tree); }, kWait);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenTheDialogOn5000ContactsToItsFirstPaint)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    BenchDevice device;
    device.fill_card(250);
    device.fill_contacts(5000);
    handset::WindowSystemInput input;
    handset::Driver driver(input);
    driver.start(HostProgram, device.folder());
    g_pDriver = &driver;
    benchmark::RunSpecifiedBenchmarks();
    HWND host = driver.wait_for_window({u"BenchContacts", std::nullopt, std::nullopt}, kWait);
    PostMessageW(host, WM_LEAVE, 0, 0);
    driver.wait_for_exit(kWait);
    benchmark::Shutdown();
    return 0;
}
