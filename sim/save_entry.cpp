#include "sim/save_entry.h"

#include "shell/messages.h"
#include "shell/resources.h"
#include "shell/trace.h"
#include "sim/sim_access.h"
#include "sim/usim.h"
#include "telvane_ids.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

namespace {

const std::u16string_view kNumberCharacters = u"0123456789p+*#";

// The Latin-1 characters of the GSM 7-bit default alphabet (3GPP TS 23.038).
const WCHAR kGsmLatin1[] = {161, 163, 164, 165, 167, 191, 196, 197, 198, 199,
                            201, 209, 214, 216, 220, 223, 224, 228, 229, 230,
                            231, 232, 233, 236, 241, 242, 246, 248, 249, 252};
static_assert(sizeof(kGsmLatin1) / sizeof(kGsmLatin1[0]) == 30);

// The most characters a name or number of a card entry can hold.
const int kEntryTextMax = SIM_TEXT_SIZE - 1;

// A limit the card reported, kept within what the entry's text fields hold. A card that reports
// nothing, or less than nothing, gets no room at all rather than a negative length.
int UsableLimit(int iLimit) {
    return std::clamp(iLimit, 0, kEntryTextMax);
}

// Cuts the text to at most iLimit characters; TRUE when it was longer.
bool CutText(LPWSTR pszText, int iLimit) {
    if (lstrlenW(pszText) <= iLimit) {
        return false;
    }
    pszText[iLimit] = 0;
    return true;
}

void Refuse(UINT uMessage, HWND hOwner) {
    MSG_Error(RC_LoadString(uMessage), hOwner);
}

// The fields checked, cut and reduced as the card needs them (steps shared by both saves).
struct PreparedEntry {
    WCHAR szNumber[ENTRYFIELD_SIZE];
    bool bClipped;
};

// The number limit counts digits: an international number shown with its "+" may be one
// character longer, since the "+" is stored as the address type and takes no digit.
bool PrepareNumber(ENTRYFIELDS* pFields, HWND hOwner, PreparedEntry* pPrepared) {
    LPWSTR pszNumber = pFields->szNumber;
    pszNumber[ENTRYFIELD_SIZE - 1] = 0;
    if (pszNumber[0] == 0) {
        Refuse(IDS_NEED_NUMBER, hOwner);
        return false;
    }
    int iPlus = pszNumber[0] == u'+' ? 1 : 0;
    int iLimit = std::min(UsableLimit(SIM_MAX_PhoneLength()) + iPlus, kEntryTextMax);
    pPrepared->bClipped = CutText(pszNumber, iLimit);
    SIM_FilterNumber(pszNumber, pPrepared->szNumber);
    if (pPrepared->szNumber[0] == 0 || !SIM_HasDigit(pPrepared->szNumber)) {
        Refuse(IDS_NEED_MOBILE_NUMBER, hOwner);
        return false;
    }
    return true;
}

// An empty name becomes the number as typed, as far as the name limit allows.
bool PrepareName(ENTRYFIELDS* pFields, int iStrict, HWND hOwner, PreparedEntry* pPrepared) {
    LPWSTR pszName = pFields->szName;
    pszName[ENTRYFIELD_SIZE - 1] = 0;
    int iNameLength = SIM_MAX_NameLength();
    if (pszName[0] != 0) {
        int iLimit = UsableLimit(SIM_IsUCS2Name(pszName) ? iNameLength / 2 - 1 : iNameLength);
        if (lstrlenW(pszName) > iLimit) {
            if (iStrict == 1) {
                Refuse(IDS_NAME_TOO_LONG, hOwner);
                return false;
            }
            CutText(pszName, iLimit);
            pPrepared->bClipped = true;
        }
    }
    if (pszName[0] == 0) {
        StringCchCopyNW(pszName, ENTRYFIELD_SIZE, pFields->szNumber,
                        static_cast<size_t>(UsableLimit(iNameLength)));
    }
    return true;
}

bool Prepare(ENTRYFIELDS* pFields, int iStrict, HWND hOwner, PreparedEntry* pPrepared) {
    return PrepareNumber(pFields, hOwner, pPrepared) &&
           PrepareName(pFields, iStrict, hOwner, pPrepared);
}

int SavedResult(const PreparedEntry& prepared) {
    return prepared.bClipped ? SAVE_RESULT_CLIPPED : SAVE_RESULT_SAVED;
}

// The sub-records that one extended save allocated itself, released on every way out together
// with the entry.
class ExtendedEntry {
  public:
    ExtendedEntry() { USIM_AllocEntry(&m_pEntry); }
    ~ExtendedEntry() {
        USIM_FreeBlock(m_pNumber);
        USIM_FreeBlock(m_pEmail);
        USIM_FreeBlock(m_pEntry);
    }
    ExtendedEntry(const ExtendedEntry&) = delete;
    ExtendedEntry& operator=(const ExtendedEntry&) = delete;

    USIM_PBENTRY* Get() { return m_pEntry; }
    BOOL SetSubRecords(const ENTRYFIELDS* pFields) {
        return USIM_SetSubRecords(m_pEntry, pFields, &m_pNumber, &m_pEmail);
    }

  private:
    USIM_PBENTRY* m_pEntry = nullptr;
    USIM_ADDNUMBER* m_pNumber = nullptr;
    USIM_EMAIL* m_pEmail = nullptr;
};

// A new entry, or one without the sub-record, gets exactly one; an entry read from a card that
// keeps several keeps them all, and only the first changes.
template <typename SubRecord>
bool SetFirstSubRecord(DWORD* pdwCount, SubRecord** ppRecords, SubRecord* (*pfnAlloc)(SubRecord**),
                       SubRecord** ppNew, LPCWSTR pszText) {
    if (!*ppRecords) {
        *ppRecords = pfnAlloc(ppNew);
        if (!*ppRecords) {
            return false;
        }
    }
    *pdwCount = std::max<DWORD>(*pdwCount, 1);
    StringCchCopyW((*ppRecords)[0].lpszAddress, SIM_TEXT_SIZE, pszText);
    return true;
}

// The memory ran out: nothing was written, and the user is told the save failed.
int OutOfMemory(HWND hOwner) {
    DBG_Print(u"USIM_SaveEntry: out of memory", u"RD_Error");
    Refuse(IDS_SIM_ERROR_UNKNOWN, hOwner);
    return SAVE_RESULT_FAILED;
}

} // namespace

void SIM_FilterNumber(LPCWSTR pszSource, LPWSTR pszDestination) {
    if (!pszSource || !pszDestination) {
        return;
    }
    int iOut = 0;
    for (const WCHAR* pch = pszSource; *pch; ++pch) {
        if (kNumberCharacters.find(*pch) != std::u16string_view::npos) {
            pszDestination[iOut++] = *pch;
        }
    }
    pszDestination[iOut] = 0;
}

int SIM_HasDigit(LPCWSTR pszText) {
    if (!pszText) {
        return 0;
    }
    for (const WCHAR* pch = pszText; *pch; ++pch) {
        if (*pch >= u'0' && *pch <= u'9') {
            return 1;
        }
    }
    return 0;
}

int SIM_IsNonGsmChar(WCHAR wch) {
    if (wch < 128) {
        return 0;
    }
    return std::find(std::begin(kGsmLatin1), std::end(kGsmLatin1), wch) == std::end(kGsmLatin1);
}

int SIM_IsUCS2Name(LPCWSTR pszName) {
    if (!pszName) {
        return 0;
    }
    for (const WCHAR* pch = pszName; *pch; ++pch) {
        if (*pch > 255 || SIM_IsNonGsmChar(*pch)) {
            return 1;
        }
    }
    return 0;
}

int SIM_SaveEntry(int iIndex, ENTRYFIELDS* pFields, int iStrict, HWND hOwner) {
    PreparedEntry prepared;
    if (!Prepare(pFields, iStrict, hOwner, &prepared)) {
        return SAVE_RESULT_FAILED;
    }
    SIM_PBENTRY entry;
    memset(&entry, 0, sizeof(entry));
    if (iIndex == SIM_INDEX_FIRSTFREE) {
        entry.cbSize = sizeof(entry);
        entry.dwParams = SIM_PARAM_PBE_ALL;
        entry.dwAddressType = 0;
        entry.dwNumPlan = SIM_NUMPLAN_TELEPHONE;
    } else if (SIM_ReadPBEntry(iIndex, &entry) == -1) {
        return SAVE_RESULT_FAILED;
    }
    StringCchCopyW(entry.lpszAddress, SIM_TEXT_SIZE, prepared.szNumber);
    StringCchCopyW(entry.lpszText, SIM_TEXT_SIZE, pFields->szName);
    if (SIM_WritePBEntry(iIndex, &entry) == -1) {
        Refuse(IDS_SIM_ERROR_UNKNOWN, hOwner);
        return SAVE_RESULT_FAILED;
    }
    return SavedResult(prepared);
}

int USIM_SaveEntry(int iIndex, ENTRYFIELDS* pFields, int iStrict, HWND hOwner) {
    ExtendedEntry extended;
    USIM_PBENTRY* pEntry = extended.Get();
    if (!pEntry) {
        return OutOfMemory(hOwner);
    }
    PreparedEntry prepared;
    if (!Prepare(pFields, iStrict, hOwner, &prepared)) {
        return SAVE_RESULT_FAILED;
    }
    if (iIndex != SIM_INDEX_FIRSTFREE && USIM_ReadPBEntry(iIndex, pEntry) == -1) {
        return SAVE_RESULT_FAILED;
    }
    StringCchCopyW(pEntry->lpszAddress, SIM_TEXT_SIZE, prepared.szNumber);
    StringCchCopyW(pEntry->lpszText, SIM_TEXT_SIZE, pFields->szName);
    if (!extended.SetSubRecords(pFields)) {
        return OutOfMemory(hOwner);
    }
    if (USIM_WritePBEntry(iIndex, pEntry) == -1) {
        Refuse(IDS_SIM_ERROR_UNKNOWN, hOwner);
        return SAVE_RESULT_FAILED;
    }
    return SavedResult(prepared);
}

BOOL USIM_SetSubRecords(USIM_PBENTRY* pEntry, const ENTRYFIELDS* pFields,
                        USIM_ADDNUMBER** ppNewNumber, USIM_EMAIL** ppNewEmail) {
    if (USIM_IsPhone2Supported()) {
        pEntry->dwParams |= USIM_PBENTRY_PHONE2BITS;
        LPCWSTR pszNumber2 = pFields->szNumber2[0] ? pFields->szNumber2 : u" ";
        if (!SetFirstSubRecord(&pEntry->dwAdditionalNumberCount, &pEntry->lpAdditionalNumbers,
                               USIM_AllocAdditionalNumber, ppNewNumber, pszNumber2)) {
            return FALSE;
        }
    }
    if (USIM_IsEmailSupported()) {
        pEntry->dwParams |= USIM_PBENTRY_EMAILBITS;
        if (!SetFirstSubRecord(&pEntry->dwEmailCount, &pEntry->lpEmailAddresses, USIM_AllocEmail,
                               ppNewEmail, pFields->szEmail)) {
            return FALSE;
        }
    }
    return TRUE;
}
