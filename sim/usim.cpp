#include "sim/usim.h"

#include "shell/registry.h"
#include "shell/trace.h"
#include "sim/sim_access.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

const DWORD kCapsFieldMask = 0x1FFFF;

std::atomic<int> g_iUSIMSupport{-1};

// One reader of the capabilities: it queries them once, on first use, and keeps the one value it
// needs for the rest of the run.
class CapabilityValue {
  public:
    typedef DWORD (*Pick)(const USIM_PBCAPS& caps);

    explicit CapabilityValue(Pick pfnPick) : m_pfnPick(pfnPick) {}

    DWORD Get() {
        std::call_once(m_once, [this] {
            USIM_PBCAPS caps;
            USIM_GetPBCapabilities(&caps);
            m_dwValue = m_pfnPick(caps);
        });
        return m_dwValue;
    }

  private:
    Pick m_pfnPick;
    std::once_flag m_once;
    DWORD m_dwValue = 0;
};

DWORD EntryBlockSize(const USIM_PBCAPS& caps) {
    return sizeof(USIM_PBENTRY) + sizeof(USIM_ADDNUMBER) * caps.dwAdditionalNumberCount +
           sizeof(USIM_EMAIL) * caps.dwEmailAddressCount;
}

// A card that reports a field but a count of 0 still gets room for one sub-record.
DWORD AdditionalNumberBlockSize(const USIM_PBCAPS& caps) {
    DWORD dwCount = caps.dwAdditionalNumberCount ? caps.dwAdditionalNumberCount : 1;
    return sizeof(USIM_ADDNUMBER) * dwCount;
}

DWORD EmailBlockSize(const USIM_PBCAPS& caps) {
    DWORD dwCount = caps.dwEmailAddressCount ? caps.dwEmailAddressCount : 1;
    return sizeof(USIM_EMAIL) * dwCount;
}

CapabilityValue g_NameLength([](const USIM_PBCAPS& c) { return c.dwMaxTextLength; });
CapabilityValue g_NickNameLength([](const USIM_PBCAPS& c) { return c.dwMaxSecondNameLength; });
CapabilityValue g_EmailLength([](const USIM_PBCAPS& c) { return c.dwMaxEmailAddressLength; });
CapabilityValue g_PhoneLength([](const USIM_PBCAPS& c) { return c.dwMaxAddressLength; });
CapabilityValue g_Phone2Length([](const USIM_PBCAPS& c) { return c.dwMaxAdditionalNumberLength; });
CapabilityValue g_EmailField([](const USIM_PBCAPS& c) { return c.dwMaxEmailAddressLength; });
CapabilityValue g_Phone2Field([](const USIM_PBCAPS& c) { return c.dwMaxAdditionalNumberLength; });
CapabilityValue g_ReadBufferSize(EntryBlockSize);
CapabilityValue g_EntryAllocSize(EntryBlockSize);
CapabilityValue g_NumberAllocSize(AdditionalNumberBlockSize);
CapabilityValue g_EmailAllocSize(EmailBlockSize);

int TraceLimit(CapabilityValue& value, LPCWSTR pszFormat) {
    int iLimit = static_cast<int>(value.Get());
    DBG_Printf(nullptr, pszFormat, iLimit);
    return iLimit;
}

void* AllocZeroed(DWORD cbSize) {
    return calloc(1, cbSize);
}

} // namespace

int USIM_IsSupported() {
    int iSupport = g_iUSIMSupport;
    if (iSupport != -1) {
        return iSupport;
    }
    HKEY hKey = nullptr;
    REG_Open(&hKey, HKEY_LOCAL_MACHINE, u"Software\\Nemora\\Telvane\\");
    int iValue = REG_QueryDWORD(hKey, u"USIMSupport");
    if (hKey) {
        REG_Close(hKey);
    }
    iSupport = (iValue == -1 || iValue == 0) ? 0 : 1;
    g_iUSIMSupport = iSupport;
    return iSupport;
}

int USIM_IsNickNameSupported() {
    return 0;
}

int USIM_IsEmailSupported() {
    if (!USIM_IsSupported()) {
        return 0;
    }
    return g_EmailField.Get() != 0 ? 1 : 0;
}

int USIM_IsPhone2Supported() {
    if (!USIM_IsSupported()) {
        return 0;
    }
    return g_Phone2Field.Get() != 0 ? 1 : 0;
}

void USIM_GetPBCapabilities(USIM_PBCAPS* pCaps) {
    memset(pCaps, 0, sizeof(*pCaps));
    pCaps->cbSize = sizeof(*pCaps);
    pCaps->dwParams = kCapsFieldMask;
    HRESULT hr = SimGetPhonebookCapabilities(SIM_GetHandle(), pCaps);
    SIM_SetLastResult(hr);
    if (hr != 0) {
        SIM_Error(hr, 0);
        memset(pCaps, 0, sizeof(*pCaps));
        pCaps->cbSize = sizeof(*pCaps);
        pCaps->dwParams = kCapsFieldMask;
        return;
    }
    DBG_Printf(u"RD_INFO",
               u"USIM_GetPBCapabilities:\n \t\t\t\t\t\t\t\t Min Index : %d,\n \t\t\t\t\t\t\t\t Max "
               u"Index : %d,\n \t\t\t\t\t\t\t\t Max Name Length : %d,\n \t\t\t\t\t\t\t\t Max 2nd "
               u"Name Length : %d,\n \t\t\t\t\t\t\t\t Max Address Length\t: %d,\n "
               u"\t\t\t\t\t\t\t\t Max 2nd Address Length\t: %d,\n \t\t\t\t\t\t\t\t Max Email "
               u"Length : %d,\n ",
               pCaps->dwMinIndex, pCaps->dwMaxIndex, pCaps->dwMaxTextLength,
               pCaps->dwMaxSecondNameLength, pCaps->dwMaxAddressLength,
               pCaps->dwMaxAdditionalNumberLength, pCaps->dwMaxEmailAddressLength);
    DBG_Printf(u"RD_INFO",
               u"\t\t Max Group Id Count\t: %d,\n \t\t\t\t\t\t\t\t Max Group Tag Length : %d,\n "
               u"\t\t\t\t\t\t\t\t Max Group Tags : %d,\n \t\t\t\t\t\t\t\t # of Additional "
               u"Number\t: %d,\n \t\t\t\t\t\t\t\t # of Email Address\t: %d,\n ",
               pCaps->dwMaxGroupIdCount, pCaps->dwMaxGroupTagLength, pCaps->dwMaxGroupTags,
               pCaps->dwAdditionalNumberCount, pCaps->dwEmailAddressCount);
}

int USIM_ReadPBEntry(int iIndex, USIM_PBENTRY* pEntry) {
    DWORD cbBuffer = g_ReadBufferSize.Get();
    pEntry->cbSize = sizeof(USIM_PBENTRY);
    pEntry->dwParams = USIM_PBENTRY_READMASK;
    DWORD dwCount = 1;
    HRESULT hr = SimReadPhonebookEntries(SIM_GetHandle(), SIM_STORAGE_SIM,
                                         static_cast<DWORD>(iIndex), &dwCount, pEntry, &cbBuffer);
    SIM_SetLastResult(hr);
    if (hr != 0) {
        SIM_Error(hr, iIndex);
    } else {
        DBG_Printf(nullptr, u"USIM_ReadPBEntry: #%d, Name:%s, Phone:%s", iIndex, pEntry->lpszText,
                   pEntry->lpszAddress);
    }
    SIM_AddPlus(pEntry->lpszAddress, pEntry->dwAddressType);
    return hr == 0 ? 1 : -1;
}

int USIM_WritePBEntry(int iIndex, USIM_PBENTRY* pEntry) {
    pEntry->dwAddressType = SIM_RemovePlus(pEntry->lpszAddress);
    HRESULT hr = SimWritePhonebookEntryEx(SIM_GetHandle(), SIM_STORAGE_SIM,
                                          static_cast<DWORD>(iIndex), pEntry);
    SIM_SetLastResult(hr);
    if (hr != 0) {
        SIM_Error(hr, iIndex);
    } else {
        DBG_Printf(nullptr, u"USIM_WritePBEntry: #%d, Name:%s, Phone:%s", iIndex, pEntry->lpszText,
                   pEntry->lpszAddress);
    }
    return hr == 0 ? 1 : -1;
}

int USIM_MAX_NameLength() {
    return TraceLimit(g_NameLength, u"USIM_MAX_NameLength == %d");
}

int USIM_MAX_NickNameLength() {
    return TraceLimit(g_NickNameLength, u"USIM_MAX_NickNameLength == %d");
}

int USIM_MAX_EmailLength() {
    return TraceLimit(g_EmailLength, u"USIM_MAX_EmailLength == %d");
}

int USIM_MAX_PhoneLength() {
    return TraceLimit(g_PhoneLength, u"USIM_MAX_PhoneLength == %d");
}

int USIM_MAX_Phone2Length() {
    return TraceLimit(g_Phone2Length, u"USIM_MAX_Phone2Length == %d");
}

USIM_PBENTRY* USIM_AllocEntry(USIM_PBENTRY** ppEntry) {
    USIM_PBENTRY* pEntry = static_cast<USIM_PBENTRY*>(AllocZeroed(g_EntryAllocSize.Get()));
    if (pEntry) {
        pEntry->cbSize = sizeof(USIM_PBENTRY);
        pEntry->dwAddressType = 0;
        pEntry->dwNumPlan = SIM_NUMPLAN_TELEPHONE;
        pEntry->dwParams = USIM_PBENTRY_NEWMASK;
    }
    *ppEntry = pEntry;
    return pEntry;
}

USIM_ADDNUMBER* USIM_AllocAdditionalNumber(USIM_ADDNUMBER** ppNumber) {
    USIM_ADDNUMBER* pNumber = static_cast<USIM_ADDNUMBER*>(AllocZeroed(g_NumberAllocSize.Get()));
    if (pNumber) {
        pNumber->cbSize = sizeof(USIM_ADDNUMBER);
        pNumber->dwParams = SIM_PARAM_PBADDITIONALNUMBER_ALL;
    }
    *ppNumber = pNumber;
    return pNumber;
}

USIM_EMAIL* USIM_AllocEmail(USIM_EMAIL** ppEmail) {
    USIM_EMAIL* pEmail = static_cast<USIM_EMAIL*>(AllocZeroed(g_EmailAllocSize.Get()));
    if (pEmail) {
        pEmail->cbSize = sizeof(USIM_EMAIL);
        pEmail->dwParams = SIM_PARAM_PBEMAIL_ALL;
    }
    *ppEmail = pEmail;
    return pEmail;
}

void USIM_FreeBlock(void* pBlock) {
    free(pBlock);
}
