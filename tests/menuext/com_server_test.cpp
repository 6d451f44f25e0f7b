#include "in_folder.h"
#include "menu_items.h"
#include "menuext/quorrel.h"
#include "test_device.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

extern "C" {
BOOL WINAPI DllMain(HINSTANCE hModule, DWORD dwReason, LPVOID pReserved);
HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
HRESULT STDMETHODCALLTYPE DllCanUnloadNow();
HRESULT STDMETHODCALLTYPE DllRegisterServer();
HRESULT STDMETHODCALLTYPE DllUnregisterServer();
}

namespace {

constexpr IID IID_Other = {0x12345678, 0x0000, 0x0000, {1, 2, 3, 4, 5, 6, 7, 8}};
const HRESULT kNoDataObject = static_cast<HRESULT>(0x800004E1);

// A host's site: it counts its references and offers a data object, or none.
struct FakeSite {
    IUnknown unknown;
    IDataObject data;
    LONG refs = 0;
    bool offers_data = true;
};

FakeSite* SiteOf(IUnknown* This) {
    return reinterpret_cast<FakeSite*>(This);
}

FakeSite* SiteOf(IDataObject* This) {
    return reinterpret_cast<FakeSite*>(reinterpret_cast<BYTE*>(This) - offsetof(FakeSite, data));
}

HRESULT STDMETHODCALLTYPE SiteQueryInterface(IUnknown* This, REFIID riid, void** ppv) {
    FakeSite* site = SiteOf(This);
    *ppv = nullptr;
    if (memcmp(&riid, &IID_IDataObject, sizeof(IID)) == 0 && site->offers_data) {
        ++site->refs;
        *ppv = &site->data;
        return S_OK;
    }
    if (memcmp(&riid, &IID_IUnknown, sizeof(IID)) == 0) {
        ++site->refs;
        *ppv = This;
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE SiteAddRef(IUnknown* This) {
    return static_cast<ULONG>(++SiteOf(This)->refs);
}

ULONG STDMETHODCALLTYPE SiteRelease(IUnknown* This) {
    return static_cast<ULONG>(--SiteOf(This)->refs);
}

ULONG STDMETHODCALLTYPE DataAddRef(IDataObject* This) {
    return static_cast<ULONG>(++SiteOf(This)->refs);
}

ULONG STDMETHODCALLTYPE DataRelease(IDataObject* This) {
    return static_cast<ULONG>(--SiteOf(This)->refs);
}

const IUnknownVtbl kSiteVtbl = {SiteQueryInterface, SiteAddRef, SiteRelease};
// Quorrel only asks its site whether there is a data object; it reads nothing from it.
IDataObjectVtbl DataVtbl() {
    IDataObjectVtbl table = {};
    table.AddRef = DataAddRef;
    table.Release = DataRelease;
    return table;
}
const IDataObjectVtbl kDataVtbl = DataVtbl();

class ComServerTest : public ::testing::Test {
  protected:
    ComServerTest() : m_in_folder(m_device.folder()) {
        DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
        m_site.unknown.lpVtbl = &kSiteVtbl;
        m_site.data.lpVtbl = &kDataVtbl;
    }

    ~ComServerTest() override {
        if (g_hInstRes) {
            ReleaseMUI();
        }
    }

    IClassFactory* Factory() {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(
            DllGetClassObject(CLSID_MenuExt, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
            S_OK);
        return factory;
    }

    IContextMenu* NewMenuExt() {
        IClassFactory* factory = Factory();
        IContextMenu* menu = nullptr;
        EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, IID_IContextMenu,
                                                  reinterpret_cast<void**>(&menu)),
                  S_OK);
        factory->lpVtbl->Release(factory);
        return menu;
    }

    static IObjectWithSite* WithSite(IContextMenu* menu) {
        IObjectWithSite* with_site = nullptr;
        EXPECT_EQ(menu->lpVtbl->QueryInterface(menu, IID_IObjectWithSite,
                                               reinterpret_cast<void**>(&with_site)),
                  S_OK);
        return with_site;
    }

    // A menu of the host's own four commands.
    static HMENU HostMenu() {
        HMENU menu = CreatePopupMenu();
        for (UINT id = 1; id <= 4; ++id) {
            AppendMenuW(menu, MF_STRING, id, (u"Command " + std::u16string(1, u'0' + id)).c_str());
        }
        return menu;
    }

    static std::u16string ItemText(HMENU menu, UINT position) {
        return MenuItemText(menu, position, TRUE);
    }

    TestDevice m_device;
    InFolder m_in_folder;
    FakeSite m_site;
};

} // namespace

TEST_F(ComServerTest, AFactoryKeepsTheLibraryLoadedUntilItIsReleased) {
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(g_cObjects, 1);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->lpVtbl->LockServer(factory, TRUE), S_OK);
    EXPECT_EQ(factory->lpVtbl->LockServer(factory, FALSE), S_OK);
    EXPECT_EQ(factory->lpVtbl->Release(factory), 0u);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
    EXPECT_EQ(DllRegisterServer(), S_OK);
    EXPECT_EQ(DllUnregisterServer(), S_OK);
}

TEST_F(ComServerTest, RefusalsLeaveNothingAlive) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(DllGetClassObject(IID_Other, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(DllGetClassObject(CLSID_MenuExt, IID_Other, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(DllGetClassObject(CLSID_MenuExt, IID_IClassFactory, nullptr), E_INVALIDARG);
    EXPECT_EQ(g_cObjects, 0);

    IClassFactory* factory = Factory();
    IUnknown outer = {&kSiteVtbl};
    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, &outer, IID_IContextMenu, &out),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, IID_Other, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, IID_IContextMenu, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(g_cObjects, 1) << "only the factory lives";
    factory->lpVtbl->Release(factory);
    EXPECT_EQ(g_cObjects, 0);
}

TEST_F(ComServerTest, TheSiteInterfaceIsTheSecondTableOfTheSameObject) {
    IContextMenu* menu = NewMenuExt();
    IObjectWithSite* with_site = WithSite(menu);
    EXPECT_NE(static_cast<void*>(with_site), static_cast<void*>(menu));
    EXPECT_EQ(reinterpret_cast<BYTE*>(with_site) - reinterpret_cast<BYTE*>(menu),
              static_cast<ptrdiff_t>(sizeof(void*)));
    EXPECT_EQ(with_site->lpVtbl->AddRef(with_site), 3u);
    EXPECT_EQ(menu->lpVtbl->AddRef(menu), 4u);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(with_site->lpVtbl->QueryInterface(with_site, IID_IUnknown,
                                                reinterpret_cast<void**>(&unknown)),
              S_OK);
    EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(menu));
    EXPECT_EQ(menu->lpVtbl->QueryInterface(menu, IID_IUnknown, nullptr), E_POINTER);
    for (int i = 0; i < 4; ++i) {
        with_site->lpVtbl->Release(with_site);
    }
    EXPECT_EQ(g_cObjects, 1);
    EXPECT_EQ(menu->lpVtbl->Release(menu), 0u);
    EXPECT_EQ(g_cObjects, 0);
}

TEST_F(ComServerTest, TheSiteIsHeldOnceAndLetGoWithNullOrTheObject) {
    IContextMenu* menu = NewMenuExt();
    IObjectWithSite* with_site = WithSite(menu);
    IUnknown* site = &m_site.unknown;
    with_site->lpVtbl->SetSite(with_site, site);
    with_site->lpVtbl->SetSite(with_site, site);
    EXPECT_EQ(m_site.refs, 1);
    void* got = nullptr;
    EXPECT_EQ(with_site->lpVtbl->GetSite(with_site, IID_IDataObject, &got), S_OK);
    EXPECT_EQ(got, &m_site.data);
    SiteOf(static_cast<IDataObject*>(got))->refs--;
    with_site->lpVtbl->SetSite(with_site, nullptr);
    EXPECT_EQ(m_site.refs, 0);
    EXPECT_EQ(with_site->lpVtbl->GetSite(with_site, IID_IDataObject, &got), E_FAIL);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(with_site->lpVtbl->GetSite(with_site, IID_IDataObject, nullptr), E_POINTER);
    with_site->lpVtbl->SetSite(with_site, site);
    with_site->lpVtbl->Release(with_site);
    menu->lpVtbl->Release(menu);
    EXPECT_EQ(m_site.refs, 0) << "the last release lets the site go";
}

TEST_F(ComServerTest, TheItemGoesToPositionThreeOnlyWithASiteThatOffersData) {
    IContextMenu* menu = NewMenuExt();
    HMENU host = HostMenu();
    EXPECT_EQ(menu->lpVtbl->QueryContextMenu(menu, host, 0, 100, 100, CMF_NORMAL), kNoDataObject);
    IObjectWithSite* with_site = WithSite(menu);
    m_site.offers_data = false;
    with_site->lpVtbl->SetSite(with_site, &m_site.unknown);
    EXPECT_EQ(menu->lpVtbl->QueryContextMenu(menu, host, 0, 100, 100, CMF_NORMAL), kNoDataObject);
    EXPECT_EQ(GetMenuItemCount(host), 4);

    m_site.offers_data = true;
    EXPECT_EQ(menu->lpVtbl->QueryContextMenu(menu, host, 0, 100, 99, CMF_NORMAL), E_INVALIDARG);
    EXPECT_EQ(menu->lpVtbl->QueryContextMenu(menu, host, 0, 100, 100, CMF_NORMAL), 1);
    ASSERT_EQ(GetMenuItemCount(host), 5);
    EXPECT_EQ(ItemText(host, 3), u"Copy to SIM");
    EXPECT_EQ(GetMenuItemID(host, 3), 100u);
    EXPECT_EQ(m_site.refs, 1) << "the data object is let go at once";
    DestroyMenu(host);
    with_site->lpVtbl->Release(with_site);
    menu->lpVtbl->Release(menu);
}

TEST_F(ComServerTest, TheVerbFitsAShortBufferTerminated) {
    IContextMenu* menu = NewMenuExt();
    char verb[16];
    std::memset(verb, 'x', sizeof(verb));
    EXPECT_EQ(menu->lpVtbl->GetCommandString(menu, 0, GCS_VERBA, nullptr, verb, 4), S_OK);
    EXPECT_STREQ(verb, "CME");
    EXPECT_EQ(menu->lpVtbl->GetCommandString(menu, 0, GCS_VERBA, nullptr, verb, 16), S_OK);
    EXPECT_STREQ(verb, "CME Sample");
    EXPECT_EQ(menu->lpVtbl->GetCommandString(menu, 1, GCS_VERBA, nullptr, verb, 16), E_FAIL);
    EXPECT_EQ(menu->lpVtbl->GetCommandString(menu, 0, GCS_HELPTEXTA, nullptr, verb, 16), S_OK);
    EXPECT_STREQ(verb, "");
    EXPECT_EQ(menu->lpVtbl->GetCommandString(menu, 0, GCS_VALIDATEA, nullptr, verb, 16), S_FALSE);
    EXPECT_EQ(menu->lpVtbl->GetCommandString(menu, 0, GCS_VERBW, nullptr, verb, 16), E_NOTIMPL);
    menu->lpVtbl->Release(menu);
}

TEST_F(ComServerTest, AnInvocationRecordOfAnotherSizeOpensNothing) {
    IContextMenu* menu = NewMenuExt();
    EXPECT_EQ(menu->lpVtbl->InvokeCommand(menu, nullptr), E_POINTER);
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = 40;
    EXPECT_EQ(menu->lpVtbl->InvokeCommand(menu, &info), E_INVALIDARG);
    menu->lpVtbl->Release(menu);
}

TEST_F(ComServerTest, TheLanguageFileIsUsedWhenThereIsOneAndTheLibraryItselfWhenNot) {
    m_device.set_dword(u"Handset\\Device", u"UILanguage", 0x0804);
    IContextMenu* menu = NewMenuExt();
    EXPECT_FALSE(g_bMUILoaded);
    EXPECT_EQ(g_hInstRes, g_hInstance);
    menu->lpVtbl->Release(menu);
    ReleaseMUI();

    m_device.set_dword(u"Handset\\Device", u"UILanguage", 0x0409);
    std::filesystem::copy_file(LANGUAGE_FILE, m_device.folder() / "Quorrel.dll.0409.mui");
    menu = NewMenuExt();
    EXPECT_TRUE(g_bMUILoaded);
    EXPECT_NE(g_hInstRes, g_hInstance);

    // The dialog gives the module back when it closes; the object still alive loads it again.
    ReleaseMUI();
    IObjectWithSite* with_site = WithSite(menu);
    with_site->lpVtbl->SetSite(with_site, &m_site.unknown);
    HMENU host = HostMenu();
    EXPECT_EQ(menu->lpVtbl->QueryContextMenu(menu, host, 0, 100, 100, CMF_NORMAL), 1);
    EXPECT_TRUE(g_bMUILoaded);
    EXPECT_TRUE(m_device.has_line("CMenuExt::QueryContextMenu!  Load MUI DLL again"));
    EXPECT_EQ(ItemText(host, 3), u"Copy to SIM");
    DestroyMenu(host);
    with_site->lpVtbl->Release(with_site);
    menu->lpVtbl->Release(menu);
}
