// The contacts object model: the application object, its contacts folder, the folder's collection
// of contacts and the contacts themselves, reached through CoCreateInstance of CLSID_Application.
//
// The interfaces carry the methods the handset offers, in the device's table order. Text results
// are BSTRs that the caller frees with SysFreeString; a property never set reads as an empty
// string. Text arguments are read as zero-terminated strings, so a plain wide buffer serves as
// well as a BSTR.
#pragma once

#include <objbase.h>
#include <oleauto.h>

#include <cstddef>

// {05058F23-20BE-11D2-8F18-0000F87A4335}: the contacts application object.
constexpr CLSID CLSID_Application = {
    0x05058F23, 0x20BE, 0x11D2, {0x8F, 0x18, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};
// {05058F22-20BE-11D2-8F18-0000F87A4335}
constexpr IID IID_IPOutlookApp = {
    0x05058F22, 0x20BE, 0x11D2, {0x8F, 0x18, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};
// {FB8998D0-38F0-4D12-AC56-4EC8FCE9F3D5}: the item-properties interface of a contact.
constexpr IID IID_IItem = {
    0xFB8998D0, 0x38F0, 0x4D12, {0xAC, 0x56, 0x4E, 0xC8, 0xFC, 0xE9, 0xF3, 0xD5}};

enum OlDefaultFolders { olFolderContacts = 10 };
enum OlItemType { olContactItem = 2 };

// Items are handed out through their dispatch interface. The handset offers none of its
// automation methods, so what callers may use of it is the IUnknown part, or a cast to the item's
// own interface (a contact's IDispatch pointer is its IContact pointer).
typedef IUnknown IDispatch;

// Property values of IItem::SetProps.
typedef DWORD CEPROPID;
#define TypeFromPropID(propid) LOWORD(propid)
#define CEVT_LPWSTR 31
#define CEDB_PROPDELETE 0x0002
#define PIMPR_NICKNAME 0x0086001F

#ifndef _FILETIME_
#define _FILETIME_
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
#endif

struct CEBLOB {
    DWORD dwCount;
    LPBYTE lpb;
};

union CEVALUNION {
    SHORT iVal;
    USHORT uiVal;
    LONG lVal;
    ULONG ulVal;
    FILETIME filetime;
    LPWSTR lpwstr;
    CEBLOB blob;
    BOOL boolVal;
    double dblVal;
};

// The value union holds pointers, so the record has the native pointer width here: its size comes
// from sizeof, and only the offsets of the fields before the union are the device's.
struct CEPROPVAL {
    CEPROPID propid;
    WORD wLenData;
    WORD wFlags;
    CEVALUNION val;
};
static_assert(offsetof(CEPROPVAL, propid) == 0 && offsetof(CEPROPVAL, wLenData) == 4 &&
              offsetof(CEPROPVAL, wFlags) == 6 && offsetof(CEPROPVAL, val) == 8);
static_assert(sizeof(CEPROPVAL) == 8 + sizeof(CEVALUNION));

struct IPOutlookApp;
struct IFolder;
struct IPOutlookItemCollection;
struct IContact;
struct IItem;

struct IPOutlookAppVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IPOutlookApp* This, REFIID riid, void** ppvObject);
    ULONG(STDMETHODCALLTYPE* AddRef)(IPOutlookApp* This);
    ULONG(STDMETHODCALLTYPE* Release)(IPOutlookApp* This);
    // S_OK when this object logs on, S_FALSE when it already was; fails when the contacts store
    // cannot be opened.
    HRESULT(STDMETHODCALLTYPE* Logon)(IPOutlookApp* This, LONG hWnd);
    HRESULT(STDMETHODCALLTYPE* Logoff)(IPOutlookApp* This);
    HRESULT(STDMETHODCALLTYPE* get_Version)(IPOutlookApp* This, BSTR* pVersion);
    HRESULT(STDMETHODCALLTYPE* GetDefaultFolder)
    (IPOutlookApp* This, int olFolder, IFolder** ppIFolder);
    HRESULT(STDMETHODCALLTYPE* CreateItem)
    (IPOutlookApp* This, int olItem, IDispatch** ppPOutlookItem);
};
struct IPOutlookApp {
    const IPOutlookAppVtbl* lpVtbl;
};

struct IFolderVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IFolder* This, REFIID riid, void** ppvObject);
    ULONG(STDMETHODCALLTYPE* AddRef)(IFolder* This);
    ULONG(STDMETHODCALLTYPE* Release)(IFolder* This);
    HRESULT(STDMETHODCALLTYPE* get_Items)(IFolder* This, IPOutlookItemCollection** ppolItems);
};
struct IFolder {
    const IFolderVtbl* lpVtbl;
};

// The collection shows the contacts sorted as the device files them (last name, then first).
// get_Count takes a fresh view of the store when it has changed; Item indexes, from 1 to the
// count, stay on that view until the next get_Count, so a reader that counts and then walks sees
// every contact once even while others save.
struct IPOutlookItemCollectionVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)
    (IPOutlookItemCollection* This, REFIID riid, void** ppvObject);
    ULONG(STDMETHODCALLTYPE* AddRef)(IPOutlookItemCollection* This);
    ULONG(STDMETHODCALLTYPE* Release)(IPOutlookItemCollection* This);
    HRESULT(STDMETHODCALLTYPE* get_Count)(IPOutlookItemCollection* This, int* pnCount);
    HRESULT(STDMETHODCALLTYPE* Item)
    (IPOutlookItemCollection* This, int iIndex, IDispatch** ppolItem);
};
struct IPOutlookItemCollection {
    const IPOutlookItemCollectionVtbl* lpVtbl;
};

// Texts are at most 1023 characters. Save needs a first or a last name; it answers
// E_OUTOFMEMORY when the device storage is full.
struct IContactVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IContact* This, REFIID riid, void** ppvObject);
    ULONG(STDMETHODCALLTYPE* AddRef)(IContact* This);
    ULONG(STDMETHODCALLTYPE* Release)(IContact* This);
    HRESULT(STDMETHODCALLTYPE* get_Email1Address)(IContact* This, BSTR* pbstr);
    HRESULT(STDMETHODCALLTYPE* get_MobileTelephoneNumber)(IContact* This, BSTR* pbstr);
    HRESULT(STDMETHODCALLTYPE* get_BusinessTelephoneNumber)(IContact* This, BSTR* pbstr);
    HRESULT(STDMETHODCALLTYPE* get_HomeTelephoneNumber)(IContact* This, BSTR* pbstr);
    HRESULT(STDMETHODCALLTYPE* get_FirstName)(IContact* This, BSTR* pbstr);
    HRESULT(STDMETHODCALLTYPE* get_MiddleName)(IContact* This, BSTR* pbstr);
    HRESULT(STDMETHODCALLTYPE* get_LastName)(IContact* This, BSTR* pbstr);
    HRESULT(STDMETHODCALLTYPE* put_Email1Address)(IContact* This, BSTR pwsz);
    HRESULT(STDMETHODCALLTYPE* put_MobileTelephoneNumber)(IContact* This, BSTR pwsz);
    HRESULT(STDMETHODCALLTYPE* put_BusinessTelephoneNumber)(IContact* This, BSTR pwsz);
    HRESULT(STDMETHODCALLTYPE* put_HomeTelephoneNumber)(IContact* This, BSTR pwsz);
    HRESULT(STDMETHODCALLTYPE* put_FirstName)(IContact* This, BSTR pwsz);
    HRESULT(STDMETHODCALLTYPE* put_MiddleName)(IContact* This, BSTR pwsz);
    HRESULT(STDMETHODCALLTYPE* put_LastName)(IContact* This, BSTR pwsz);
    HRESULT(STDMETHODCALLTYPE* Save)(IContact* This);
};
struct IContact {
    const IContactVtbl* lpVtbl;
};

// Property values set here are kept with the contact and stored by its Save.
struct IItemVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IItem* This, REFIID riid, void** ppvObject);
    ULONG(STDMETHODCALLTYPE* AddRef)(IItem* This);
    ULONG(STDMETHODCALLTYPE* Release)(IItem* This);
    HRESULT(STDMETHODCALLTYPE* SetProps)
    (IItem* This, ULONG ulFlags, WORD cProps, CEPROPVAL* rgVals);
};
struct IItem {
    const IItemVtbl* lpVtbl;
};
