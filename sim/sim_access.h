// The program's only way to the SIM card: one shared handle, the lock checks of the start-up gate,
// phonebook entries in the SIM storage with the "+" rule, the card's length limits, and a trace
// line for every outcome.
#pragma once

#include "sim/sim_types.h"

// Classes of the phone status value.
#define PHONE_STATUS_UNKNOWN 0
#define PHONE_STATUS_INVALID 1
#define PHONE_STATUS_REMOVED 2
#define PHONE_STATUS_RADIO_OFF 3
#define PHONE_STATUS_OK 4

int PHONE_GetStatus();
HSIM SIM_GetHandle();
void SIM_SetCallBackFunc(SIMCALLBACK pfnCallback);
void SIM_Release();
int SIM_IsPINLock();
int SIM_IsPUKLock();
int SIM_IsReady();
int SIM_IsFDNEnable();
int SIM_IsPhoneBookReady();
void SIM_Error(HRESULT hrResult, int iIndex);
void SIM_GetPhoneBookStatus(DWORD* pdwUsed, DWORD* pdwTotal);
int SIM_ReadPBEntry(int iIndex, SIM_PBENTRY* pEntry);
int SIM_WritePBEntry(int iIndex, SIM_PBENTRY* pEntry);
int SIM_DeletePBEntry(int iIndex);
int SIM_MAX_NameLength();
int SIM_MAX_PhoneLength();
void PHONE_MakeCall(LPCWSTR pszNumber, LPCWSTR pszName);

// The result of the most recent SIM call, shared with the extended phonebook.
HRESULT SIM_GetLastResult();
void SIM_SetLastResult(HRESULT hrResult);

// The "+" rule: a number of address type 1 is shown with a leading "+"; a number given with a
// leading "+" is stored without it, as address type 1.
void SIM_AddPlus(LPWSTR pszNumber, DWORD dwAddressType);
DWORD SIM_RemovePlus(LPWSTR pszNumber);
