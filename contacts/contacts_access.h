// The program's only way to the phone's contacts store: one process-wide connection, the
// collection of contacts, one contact's properties, and one table that turns the store's statuses
// into the program's own result codes.
#pragma once

#include <windows.h>

#include <pimstore.h>

// Result codes.
#define CONTACT_OK 1
#define CONTACT_FAIL (-1)
#define CONTACT_UNEXPECTED (-8)
#define CONTACT_STORAGE_FULL (-9)
#define CONTACT_INVALID_ARGS (-10)
// A store status outside the table: neither a success nor a known failure.
#define CONTACT_UNKNOWN_STATUS 0

IPOutlookApp* CONTACT_GetAppHandle(HWND hOwner);
IFolder* CONTACT_GetFolderHandle();
IPOutlookItemCollection* CONTACT_GetItemHandle();
IPOutlookItemCollection* CONTACT_Init(HWND hOwner);
void CONTACT_Release();
int CONTACT_GetCount();
int CONTACT_GetItem(int iIndex, IContact** ppContact);
int CONTACTITEM_Create(IContact** ppContact);
int CONTACTITEM_Save(IContact* pContact);
void CONTACTITEM_Release(IContact* pContact);
int CONTACT_Error(HRESULT hrStatus);

LPCWSTR CONTACTITEM_GetFirstName(IContact* pContact);
LPCWSTR CONTACTITEM_GetLastName(IContact* pContact);
LPCWSTR CONTACTITEM_GetBussinessTel(IContact* pContact);
LPCWSTR CONTACTITEM_GetHomeTel(IContact* pContact);
LPCWSTR CONTACTITEM_GetMobileTel(IContact* pContact);

HRESULT CONTACTITEM_SetFirstName(IContact* pContact, LPCWSTR pszText);
HRESULT CONTACTITEM_SetMobileTel(IContact* pContact, LPCWSTR pszText);
HRESULT CONTACTITEM_SetBussinessTel(IContact* pContact, LPCWSTR pszText);
HRESULT CONTACTITEM_SetEmail1(IContact* pContact, LPCWSTR pszText);
HRESULT CONTACTITEM_SetNickName(IContact* pContact, LPCWSTR pszText);
