// The Copy-to-SIM dialog's way to the contacts store and the SIM phonebook: one contacts
// connection and one SIM handle, taken when the dialog opens and given back when it closes.
#pragma once

#include <windows.h>

#include <pimstore.h>
#include <simmgr.h>

// Slots of the SIM phonebook, as last read.
extern DWORD g_dwUsed;
extern DWORD g_dwTotal;

BOOL InitPoom(HWND hOwner);
BOOL GetContactsSetInFolder();
int GetTotalNumberOfContacts();
BOOL GetContacts(int iIndex, IContact** ppContact);
// The six texts belong to the caller, who frees them with SysFreeString; the contact is released.
BOOL GetDataFromContacts(IContact* pContact, BSTR* pFirst, BSTR* pMiddle, BSTR* pLast,
                         BSTR* pBusiness, BSTR* pHome, BSTR* pMobile);
void ReleasePOOM();
// TRUE while a contacts connection is held.
BOOL IsPoomHeld();

BOOL SimInitial(SIMCALLBACK pfnCallback, DWORD dwParam);
BOOL GetSIMStatus();
BOOL AddDataToSIM(LPCWSTR pszName, LPCWSTR pszNumber);
void ReleaseSIM();
