#include "sim/sim_access.h"

#include "shell/registry.h"
#include "shell/trace.h"
#include "sim/usim.h"

#include <tapi.h>

#include <atomic>
#include <mutex>

namespace {

// The dialog thread, the fill workers and the SIM library's notification thread all come through
// here. The handle and the last result are atomic, and the opening of the handle and the first
// computation of a limit are serialised, so concurrent callers never see half of either.
std::atomic<HSIM> g_hSim{nullptr};
std::atomic<HRESULT> g_hrLastResult{0};
std::atomic<int> g_iNameLength{-1};
std::atomic<int> g_iPhoneLength{-1};
std::mutex g_openLock;
std::mutex g_limitLock;

struct SIMErrorRow {
    HRESULT hrCode;
    const WCHAR* pszText;
};

// Only the trace log shows these texts.
const SIMErrorRow kSIMErrors[] = {
    {HRESULT(0x88000202), u"SIM is busy."},
    {HRESULT(0x88000203), u"Inorrect SIM was inserted."},
    {HRESULT(0x88000205), u"SIM Application Toolkit is busy."},
    {HRESULT(0x88000206), u"SIM data download error."},
    {HRESULT(0x88000207), u"SIM isn't inserted into the phone."},
    {HRESULT(0x88000120), u"PH-SIM PIN is required to perform this operation."},
    {HRESULT(0x88000121), u"PH-FSIM PIN is required to perform this operation."},
    {HRESULT(0x88000122), u"PH-FSIM PUK is required to perform this operation."},
    {HRESULT(0x88000123), u"SIM PIN is required to perform this operation."},
    {HRESULT(0x88000124), u"SIM PUK is required to perform this operation."},
    {HRESULT(0x88000125), u"Incorrect password was supplied."},
    {HRESULT(0x88000126), u"SIM PIN2 is required to perform this operation."},
    {HRESULT(0x88000127), u"SIM PUK2 is required to perform this operation."},
    {HRESULT(0x88000128), u"Network Personalization PIN is required to perform this operation."},
    {HRESULT(0x88000129), u"Network Personalization PUK is required to perform this operation."},
    {HRESULT(0x8800012A),
     u"Network Subset Personalization PIN is required to perform this operation."},
    {HRESULT(0x8800012B),
     u"Network Subset Personalization PUK is required to perform this operation."},
    {HRESULT(0x8800012C),
     u"Service Provider Personalization PIN is required to perform this operation."},
    {HRESULT(0x8800012D),
     u"Service Provider Personalization PUK is required to perform this operation."},
    {HRESULT(0x8800012E), u"Corporate Personalization PIN is required to perform this operation."},
    {HRESULT(0x8800012F), u"Corporate Personalization PUK is required to perform this operation."},
    {HRESULT(0x88000340), u"Storage memory is full."},
    {HRESULT(0x88000341), u"Invalid storage index was supplied."},
    {HRESULT(0x88000342), u"A requested storage entry was not found."},
    {HRESULT(0x88000343), u"Storage memory failure."},
    {HRESULT(0x88000060), u"SIM isn't yet ready to perform the requested operation."},
    {HRESULT(0x88000061), u"SIM isn't yet ready to perform the requested operation."},
    {HRESULT(0x88000062), u"Buffer too small."},
    {HRESULT(0x88000064), u"Device doesn't have a SIM."},
    {HRESULT(0x88000065), u"There was a network error."},
    {HRESULT(0x88000066), u"Mobile error."},
    {HRESULT(0x88000067), u"The command is unsupported."},
    {HRESULT(0x88000068), u"Bad parameter."},
    {HRESULT(0x88000069), u"Undetermined error."},
    {HRESULT(0x8800006A), u"The Radio is not present."},
    {HRESULT(0x8800006B), u"The Radio is off."},
};
static_assert(sizeof(kSIMErrors) / sizeof(kSIMErrors[0]) == 36);

HRESULT Store(HRESULT hr) {
    g_hrLastResult = hr;
    return hr;
}

int ResultOf(HRESULT hr) {
    return hr == 0 ? 1 : -1;
}

DWORD LockedState() {
    DWORD dwState = 0;
    Store(SimGetPhoneLockedState(SIM_GetHandle(), &dwState));
    return dwState;
}

int TraceBool(int iValue, LPCWSTR pszText) {
    DBG_Bool(iValue, pszText);
    return iValue;
}

// Reads the card's entry lengths into the getter's own record; 0 fields when the query fails.
bool ReadEntryLengths(SIM_CAPS* pCaps) {
    pCaps->cbSize = sizeof(*pCaps);
    HRESULT hr = Store(SimGetDevCaps(SIM_GetHandle(), SIM_CAPSTYPE_PBENTRYLENGTH, pCaps));
    if (hr != 0) {
        SIM_Error(hr, 0);
        return false;
    }
    return true;
}

} // namespace

HRESULT SIM_GetLastResult() {
    return g_hrLastResult;
}

void SIM_SetLastResult(HRESULT hrResult) {
    g_hrLastResult = hrResult;
}

int PHONE_GetStatus() {
    HKEY hKey = nullptr;
    REG_Open(&hKey, HKEY_LOCAL_MACHINE, u"System\\State\\Phone");
    int iStatus = REG_QueryDWORD(hKey, u"Status");
    if (hKey) {
        REG_Close(hKey);
    }
    if (iStatus == 0 || iStatus == -1) {
        return PHONE_STATUS_UNKNOWN;
    }
    if (iStatus & 0x4) {
        return PHONE_STATUS_INVALID;
    }
    if (iStatus & 0x2) {
        return PHONE_STATUS_REMOVED;
    }
    if (iStatus & 0x10) {
        return PHONE_STATUS_RADIO_OFF;
    }
    return PHONE_STATUS_OK;
}

HSIM SIM_GetHandle() {
    HSIM hSim = g_hSim;
    if (hSim) {
        return hSim;
    }
    std::lock_guard<std::mutex> lock(g_openLock);
    hSim = g_hSim;
    if (hSim) {
        return hSim;
    }
    HRESULT hr = Store(SimInitialize(0, nullptr, 0, &hSim));
    g_hSim = hSim;
    DBG_Result(ResultOf(hr), u"SIM_GetHandle");
    return hSim;
}

void SIM_SetCallBackFunc(SIMCALLBACK pfnCallback) {
    std::lock_guard<std::mutex> lock(g_openLock);
    HSIM hSim = g_hSim.exchange(nullptr);
    if (hSim) {
        SimDeinitialize(hSim);
        hSim = nullptr;
    }
    HRESULT hr = Store(SimInitialize(SIM_INIT_SIMCARD_NOTIFICATIONS, pfnCallback, 0, &hSim));
    g_hSim = hSim;
    DBG_Result(ResultOf(hr), u"SIM_SetCallBackFunc");
}

// Not under the open lock: closing waits for a notification in progress, and that notification
// may itself be reading the card.
void SIM_Release() {
    HSIM hSim = g_hSim.exchange(nullptr);
    if (hSim) {
        SimDeinitialize(hSim);
    }
}

int SIM_IsPINLock() {
    return TraceBool(LockedState() == SIM_LOCKEDSTATE_SIM_PIN, u"PIN Lock");
}

int SIM_IsPUKLock() {
    return TraceBool(LockedState() == SIM_LOCKEDSTATE_SIM_PUK, u"PUK Lock");
}

int SIM_IsReady() {
    return TraceBool((LockedState() & 1) ? 1 : 0, u"SIM Ready");
}

int SIM_IsFDNEnable() {
    BOOL bEnabled = FALSE;
    Store(SimGetLockingStatus(SIM_GetHandle(), SIM_LOCKFACILITY_FIXEDDIALING, nullptr, &bEnabled));
    return TraceBool(bEnabled, u"FDN Enable");
}

int SIM_IsPhoneBookReady() {
    DWORD dwUsed = 0;
    DWORD dwTotal = 0;
    HRESULT hr = Store(SimGetPhonebookStatus(SIM_GetHandle(), SIM_STORAGE_SIM, &dwUsed, &dwTotal));
    return hr == 0 ? 1 : 0;
}

void SIM_Error(HRESULT hrResult, int iIndex) {
    for (const SIMErrorRow& row : kSIMErrors) {
        if (row.hrCode == hrResult) {
            DBG_Printf(u"RD_Error", u"SIM_Error: #%d: %s(%d)", iIndex, row.pszText,
                       static_cast<int>(hrResult));
            return;
        }
    }
}

void SIM_GetPhoneBookStatus(DWORD* pdwUsed, DWORD* pdwTotal) {
    HRESULT hr = Store(SimGetPhonebookStatus(SIM_GetHandle(), SIM_STORAGE_SIM, pdwUsed, pdwTotal));
    if (hr != 0) {
        SIM_Error(hr, 0);
        return;
    }
    DBG_Printf(nullptr, u"SIM_GetPhoneBookStatus: Used:%d, Total:%d", static_cast<int>(*pdwUsed),
               static_cast<int>(*pdwTotal));
}

void SIM_AddPlus(LPWSTR pszNumber, DWORD dwAddressType) {
    if (dwAddressType != SIM_ADDRTYPE_INTERNATIONAL || pszNumber[0] == u'+') {
        return;
    }
    WCHAR szScratch[SIM_TEXT_SIZE + 6];
    StringCchCopyW(szScratch, SIM_TEXT_SIZE + 6, pszNumber);
    StringCchCopyW(pszNumber, SIM_TEXT_SIZE, u"+");
    StringCchCatW(pszNumber, SIM_TEXT_SIZE, szScratch);
}

DWORD SIM_RemovePlus(LPWSTR pszNumber) {
    if (pszNumber[0] != u'+') {
        return 0;
    }
    int iLength = lstrlenW(pszNumber);
    for (int i = 0; i < iLength; ++i) {
        pszNumber[i] = pszNumber[i + 1];
    }
    return SIM_ADDRTYPE_INTERNATIONAL;
}

int SIM_ReadPBEntry(int iIndex, SIM_PBENTRY* pEntry) {
    HRESULT hr = Store(SimReadPhonebookEntry(SIM_GetHandle(), SIM_STORAGE_SIM, iIndex, pEntry));
    if (hr != 0) {
        SIM_Error(hr, iIndex);
    } else {
        DBG_Printf(nullptr, u"SIM_ReadPBEntry: #%d, Name:%s, Phone:%s", iIndex, pEntry->lpszText,
                   pEntry->lpszAddress);
    }
    SIM_AddPlus(pEntry->lpszAddress, pEntry->dwAddressType);
    return ResultOf(hr);
}

int SIM_WritePBEntry(int iIndex, SIM_PBENTRY* pEntry) {
    pEntry->dwAddressType = SIM_RemovePlus(pEntry->lpszAddress);
    HRESULT hr = Store(SimWritePhonebookEntry(SIM_GetHandle(), SIM_STORAGE_SIM, iIndex, pEntry));
    if (hr != 0) {
        SIM_Error(hr, iIndex);
    } else {
        DBG_Printf(nullptr, u"SIM_WritePBEntry: #%d, Name:%s, Phone:%s", iIndex, pEntry->lpszText,
                   pEntry->lpszAddress);
    }
    return ResultOf(hr);
}

int SIM_DeletePBEntry(int iIndex) {
    HRESULT hr = Store(SimDeletePhonebookEntry(SIM_GetHandle(), SIM_STORAGE_SIM, iIndex));
    if (hr != 0) {
        SIM_Error(hr, iIndex);
    } else {
        DBG_Printf(nullptr, u"SIM_DeletePBEntry: Entry #%d is deleted", iIndex);
    }
    return ResultOf(hr);
}

// The name limit follows the extended phonebook as soon as it is in use.
int SIM_MAX_NameLength() {
    if (g_iNameLength != -1) {
        return g_iNameLength;
    }
    std::lock_guard<std::mutex> lock(g_limitLock);
    if (g_iNameLength != -1) {
        return g_iNameLength;
    }
    static SIM_CAPS caps;
    if (ReadEntryLengths(&caps)) {
        DBG_Printf(nullptr, u"SIM_MAX_NameLength == %d", static_cast<int>(caps.dwMaxPBETextLength));
    }
    g_iNameLength =
        USIM_IsSupported() == 1 ? USIM_MAX_NameLength() : static_cast<int>(caps.dwMaxPBETextLength);
    return g_iNameLength;
}

// The number limit follows the extended phonebook only when the card also holds a second number.
int SIM_MAX_PhoneLength() {
    if (g_iPhoneLength != -1) {
        return g_iPhoneLength;
    }
    std::lock_guard<std::mutex> lock(g_limitLock);
    if (g_iPhoneLength != -1) {
        return g_iPhoneLength;
    }
    static SIM_CAPS caps;
    if (ReadEntryLengths(&caps)) {
        DBG_Printf(nullptr, u"SIM_MAX_PhoneLength == %d",
                   static_cast<int>(caps.dwMaxPBEAddressLength));
    }
    g_iPhoneLength = USIM_IsPhone2Supported() == 1 ? USIM_MAX_PhoneLength()
                                                   : static_cast<int>(caps.dwMaxPBEAddressLength);
    return g_iPhoneLength;
}

void PHONE_MakeCall(LPCWSTR pszNumber, LPCWSTR pszName) {
    tapiRequestMakeCall(pszNumber, nullptr, pszName, nullptr);
}
