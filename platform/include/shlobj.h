// Context-menu extensions: the interfaces through which a host application (the handset's
// Contacts application) lets in-process servers add commands to its context menu, hands them the
// selection through a site, and invokes the command picked.
#pragma once

#include <objbase.h>
#include <winuser.h>

#include <cstddef>

// {000214E4-0000-0000-C000-000000000046}
constexpr IID IID_IContextMenu = {
    0x000214E4, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {FC4801A3-2BA9-11CF-A229-00AA003D7352}
constexpr IID IID_IObjectWithSite = {
    0xFC4801A3, 0x2BA9, 0x11CF, {0xA2, 0x29, 0x00, 0xAA, 0x00, 0x3D, 0x73, 0x52}};
// {0000010E-0000-0000-C000-000000000046}
constexpr IID IID_IDataObject = {
    0x0000010E, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

#ifndef E_POINTER
#define E_POINTER ((HRESULT)0x80004003)
#endif
#ifndef E_NOTIMPL
#define E_NOTIMPL ((HRESULT)0x80004001)
#endif

// GetCommandString request types.
#define GCS_VERBA 0x00000000
#define GCS_HELPTEXTA 0x00000001
#define GCS_VALIDATEA 0x00000002
#define GCS_VERBW 0x00000004
#define GCS_HELPTEXTW 0x00000005
#define GCS_VALIDATEW 0x00000006

// QueryContextMenu flags.
#define CMF_NORMAL 0x00000000
#define CMF_DEFAULTONLY 0x00000001

// The record InvokeCommand receives. Handles are 32-bit values here, and so are the verb (the
// picked command's offset from the first identifier given to QueryContextMenu), the parameters
// and the directory, so the record keeps the device's 36 bytes.
struct CMINVOKECOMMANDINFO {
    DWORD cbSize;
    DWORD fMask;
    HWND hwnd;
    DWORD lpVerb;
    DWORD lpParameters;
    DWORD lpDirectory;
    int nShow;
    DWORD dwHotKey;
    HANDLE hIcon;
};
typedef CMINVOKECOMMANDINFO* LPCMINVOKECOMMANDINFO;
static_assert(sizeof(CMINVOKECOMMANDINFO) == 36);
static_assert(offsetof(CMINVOKECOMMANDINFO, hwnd) == 8 &&
              offsetof(CMINVOKECOMMANDINFO, lpVerb) == 12 &&
              offsetof(CMINVOKECOMMANDINFO, hIcon) == 32);

struct IContextMenu;
struct IContextMenuVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IContextMenu* This, REFIID riid, void** ppvObject);
    ULONG(STDMETHODCALLTYPE* AddRef)(IContextMenu* This);
    ULONG(STDMETHODCALLTYPE* Release)(IContextMenu* This);
    // Adds the server's items at identifiers from idCmdFirst to idCmdLast; answers how many
    // identifiers it used, as a success status.
    HRESULT(STDMETHODCALLTYPE* QueryContextMenu)
    (IContextMenu* This, HMENU hmenu, UINT indexMenu, UINT idCmdFirst, UINT idCmdLast, UINT uFlags);
    HRESULT(STDMETHODCALLTYPE* InvokeCommand)(IContextMenu* This, LPCMINVOKECOMMANDINFO pici);
    HRESULT(STDMETHODCALLTYPE* GetCommandString)
    (IContextMenu* This, UINT_PTR idCmd, UINT uType, UINT* pReserved, LPSTR pszName, UINT cchMax);
};
struct IContextMenu {
    const IContextMenuVtbl* lpVtbl;
};
typedef IContextMenu* LPCONTEXTMENU;

struct IObjectWithSite;
struct IObjectWithSiteVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)
    (IObjectWithSite* This, REFIID riid, void** ppvObject);
    ULONG(STDMETHODCALLTYPE* AddRef)(IObjectWithSite* This);
    ULONG(STDMETHODCALLTYPE* Release)(IObjectWithSite* This);
    HRESULT(STDMETHODCALLTYPE* SetSite)(IObjectWithSite* This, IUnknown* pUnkSite);
    HRESULT(STDMETHODCALLTYPE* GetSite)(IObjectWithSite* This, REFIID riid, void** ppvSite);
};
struct IObjectWithSite {
    const IObjectWithSiteVtbl* lpVtbl;
};

// Data transfer: a format and the storage medium that carries the data in it. The handset's
// media are memory blocks only.
typedef WORD CLIPFORMAT;

#define TYMED_NULL 0
#define TYMED_HGLOBAL 1

#define DVASPECT_CONTENT 1

struct FORMATETC {
    CLIPFORMAT cfFormat;
    void* ptd;
    DWORD dwAspect;
    LONG lindex;
    DWORD tymed;
};
typedef FORMATETC* LPFORMATETC;

// With TYMED_HGLOBAL, hGlobal is a block of the receiver's to free with free(), and cbGlobal its
// size in bytes.
struct STGMEDIUM {
    DWORD tymed;
    void* hGlobal;
    DWORD cbGlobal;
    IUnknown* pUnkForRelease;
};
typedef STGMEDIUM* LPSTGMEDIUM;

#ifndef DV_E_FORMATETC
#define DV_E_FORMATETC ((HRESULT)0x80040064)
#endif

// The selection of a host, as context-menu servers receive it through their site. Only the
// reading methods are served; the others answer E_NOTIMPL.
struct IDataObject;
struct IDataObjectVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IDataObject* This, REFIID riid, void** ppvObject);
    ULONG(STDMETHODCALLTYPE* AddRef)(IDataObject* This);
    ULONG(STDMETHODCALLTYPE* Release)(IDataObject* This);
    HRESULT(STDMETHODCALLTYPE* GetData)
    (IDataObject* This, FORMATETC* pformatetcIn, STGMEDIUM* pmedium);
    HRESULT(STDMETHODCALLTYPE* GetDataHere)
    (IDataObject* This, FORMATETC* pformatetc, STGMEDIUM* pmedium);
    HRESULT(STDMETHODCALLTYPE* QueryGetData)(IDataObject* This, FORMATETC* pformatetc);
    HRESULT(STDMETHODCALLTYPE* GetCanonicalFormatEtc)
    (IDataObject* This, FORMATETC* pformatectIn, FORMATETC* pformatetcOut);
    HRESULT(STDMETHODCALLTYPE* SetData)
    (IDataObject* This, FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease);
    HRESULT(STDMETHODCALLTYPE* EnumFormatEtc)
    (IDataObject* This, DWORD dwDirection, void** ppenumFormatEtc);
    HRESULT(STDMETHODCALLTYPE* DAdvise)
    (IDataObject* This, FORMATETC* pformatetc, DWORD advf, void* pAdvSink, DWORD* pdwConnection);
    HRESULT(STDMETHODCALLTYPE* DUnadvise)(IDataObject* This, DWORD dwConnection);
    HRESULT(STDMETHODCALLTYPE* EnumDAdvise)(IDataObject* This, void** ppenumAdvise);
};
struct IDataObject {
    const IDataObjectVtbl* lpVtbl;
};

// An object identifier of the contacts store.
typedef DWORD CEOID;

// The selection of the Contacts application, as the data object of its site offers it. The
// format is the one RegisterClipboardFormat gives for this name; the medium is TYMED_HGLOBAL, a
// block of a DWORD count followed by that many CEOID values, the selected contacts in the order
// they are listed.
#define CFSTR_CONTACTOIDS u"Contact Object Identifiers"

// Where the Contacts application finds the classes of its context-menu extensions: one subkey of
// HKEY_LOCAL_MACHINE per class, named by the class identifier, under this key.
#define REGKEY_CONTACTS_ITEM_CONTEXT_MENUS                                                         \
    u"Software\\Microsoft\\Shell\\Extensions\\ContextMenus\\Contacts\\ItemContext"
