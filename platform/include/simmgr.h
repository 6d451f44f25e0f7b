// The SIM manager: the handset's access to the SIM card's phonebook, lock state and capabilities.
// Every call returns S_OK or a SIM_E_ code (E_INVALIDARG for an unknown handle or a missing
// pointer). Records are filled only when the call succeeds.
#pragma once

#include <windef.h>

#include <cstddef>

namespace handset_handles {
struct SimTag;
} // namespace handset_handles

typedef handset_handles::Handle<handset_handles::SimTag> HSIM;
typedef HSIM* LPHSIM;

#ifndef E_INVALIDARG
#define E_INVALIDARG ((HRESULT)0x80070057)
#endif
#ifndef E_OUTOFMEMORY
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#endif

// Results.
#define SIM_E_SIMBUSY ((HRESULT)0x88000202)
#define SIM_E_SIMWRONG ((HRESULT)0x88000203)
#define SIM_E_SIMTOOLKITBUSY ((HRESULT)0x88000205)
#define SIM_E_SIMDOWNLOADERROR ((HRESULT)0x88000206)
#define SIM_E_SIMNOTINSERTED ((HRESULT)0x88000207)
#define SIM_E_PHSIMPINREQUIRED ((HRESULT)0x88000120)
#define SIM_E_PHFSIMPINREQUIRED ((HRESULT)0x88000121)
#define SIM_E_PHFSIMPUKREQUIRED ((HRESULT)0x88000122)
#define SIM_E_SIMPINREQUIRED ((HRESULT)0x88000123)
#define SIM_E_SIMPUKREQUIRED ((HRESULT)0x88000124)
#define SIM_E_INCORRECTPASSWORD ((HRESULT)0x88000125)
#define SIM_E_SIMPIN2REQUIRED ((HRESULT)0x88000126)
#define SIM_E_SIMPUK2REQUIRED ((HRESULT)0x88000127)
#define SIM_E_NETWKPINREQUIRED ((HRESULT)0x88000128)
#define SIM_E_NETWKPUKREQUIRED ((HRESULT)0x88000129)
#define SIM_E_SUBSETPINREQUIRED ((HRESULT)0x8800012A)
#define SIM_E_SUBSETPUKREQUIRED ((HRESULT)0x8800012B)
#define SIM_E_SVCPINREQUIRED ((HRESULT)0x8800012C)
#define SIM_E_SVCPUKREQUIRED ((HRESULT)0x8800012D)
#define SIM_E_CORPPINREQUIRED ((HRESULT)0x8800012E)
#define SIM_E_CORPPUKREQUIRED ((HRESULT)0x8800012F)
#define SIM_E_MEMORYFULL ((HRESULT)0x88000340)
#define SIM_E_INVALIDINDEX ((HRESULT)0x88000341)
#define SIM_E_NOTFOUND ((HRESULT)0x88000342)
#define SIM_E_MEMORYFAILURE ((HRESULT)0x88000343)
#define SIM_E_NOTREADY ((HRESULT)0x88000060)
#define SIM_E_SECURITYFAILURE ((HRESULT)0x88000061)
#define SIM_E_BUFFERTOOSMALL ((HRESULT)0x88000062)
#define SIM_E_NOSIM ((HRESULT)0x88000064)
#define SIM_E_NETWORKERROR ((HRESULT)0x88000065)
#define SIM_E_MOBILEERROR ((HRESULT)0x88000066)
#define SIM_E_UNSUPPORTED ((HRESULT)0x88000067)
#define SIM_E_BADPARAM ((HRESULT)0x88000068)
#define SIM_E_UNDETERMINED ((HRESULT)0x88000069)
#define SIM_E_RADIONOTPRESENT ((HRESULT)0x8800006A)
#define SIM_E_RADIOOFF ((HRESULT)0x8800006B)

// Opening.
#define SIM_INIT_NONE 0x00000000
#define SIM_INIT_SIMCARD_NOTIFICATIONS 0x00000001

// Notifications, called on a thread of the library. The data lives for the call only.
#define SIM_NOTIFY_PBE_STORED 0x00000104
#define SIM_NOTIFY_PBE_DELETED 0x00000105
#define SIM_NOTIFY_RADIOOFF 0x00000107

typedef void (*SIMCALLBACK)(DWORD dwNotifyCode, const void* lpData, DWORD dwDataSize,
                            DWORD dwParam);

// Phonebook storages, indices and field values.
#define SIM_PBSTORAGE_EMERGENCY 0x00000001
#define SIM_PBSTORAGE_FIXEDDIALING 0x00000002
#define SIM_PBSTORAGE_LASTDIALING 0x00000004
#define SIM_PBSTORAGE_OWNNUMBERS 0x00000008
#define SIM_PBSTORAGE_SIM 0x00000010
#define SIM_PBINDEX_FIRSTAVAILABLE 0xFFFFFFFF

#define SIM_ADDRTYPE_UNKNOWN 0
#define SIM_ADDRTYPE_INTERNATIONAL 1

#define SIM_NUMPLAN_UNKNOWN 0
#define SIM_NUMPLAN_TELEPHONE 1

#define MAX_LENGTH_ADDRESS 256
#define MAX_LENGTH_PHONEBOOKENTRYTEXT 256
#define MAX_NUM_GROUPS 10

// Lock states and facilities.
#define SIM_LOCKEDSTATE_UNKNOWN 0
#define SIM_LOCKEDSTATE_READY 1
#define SIM_LOCKEDSTATE_SIM_PIN 2
#define SIM_LOCKEDSTATE_SIM_PUK 3

#define SIM_LOCKFACILITY_SIM 0x00000008
#define SIM_LOCKFACILITY_SIM_PIN2 0x00000010
#define SIM_LOCKFACILITY_SIM_FIXEDIALING 0x00000020
#define SIM_LOCKFACILITY_FIXEDDIALING SIM_LOCKFACILITY_SIM_FIXEDIALING
#define SIM_NUMLOCKFACILITIES 10

// Device capabilities: which parts of SIMCAPS a SimGetDevCaps call fills.
#define SIM_CAPSTYPE_PBENTRYLENGTH 0x00000001
#define SIM_CAPSTYPE_PBSTORELOCATIONS 0x00000002
#define SIM_CAPSTYPE_LOCKFACILITIES 0x00000004
#define SIM_CAPSTYPE_PBINDEXRANGE 0x00000008
#define SIM_CAPSTYPE_LOCKINGPWDLENGTHS 0x00000010
#define SIM_CAPSTYPE_MSGMEMORYLOCATIONS 0x00000020
#define SIM_CAPSTYPE_ALL 0x0000003F

// SIMCAPS.dwParams: the fields that hold a value.
#define SIM_PARAM_CAPS_PBSTORAGES 0x00000001
#define SIM_PARAM_CAPS_PBEMAXADDRESSLENGTH 0x00000002
#define SIM_PARAM_CAPS_PBEMAXTEXTLENGTH 0x00000004
#define SIM_PARAM_CAPS_PBEMININDEX 0x00000008
#define SIM_PARAM_CAPS_PBEMAXINDEX 0x00000010
#define SIM_PARAM_CAPS_LOCKFACILITIES 0x00000020
#define SIM_PARAM_CAPS_LOCKINGPWDLENGTH 0x00000040
#define SIM_PARAM_CAPS_READMSGSTORAGES 0x00000080
#define SIM_PARAM_CAPS_WRITEMSGSTORAGES 0x00000100
#define SIM_PARAM_CAPS_ALL 0x000001FF

struct SIMLOCKINGPWDLENGTH {
    DWORD dwFacility;
    DWORD dwPasswordLength;
};

struct SIMCAPS {
    DWORD cbSize;
    DWORD dwParams;
    DWORD dwPBStorages;
    DWORD dwMinPBIndex;
    DWORD dwMaxPBIndex;
    DWORD dwMaxPBEAddressLength; // digits, without an international "+"
    DWORD dwMaxPBETextLength;    // bytes of the card's name field: characters of a plain name
    DWORD dwLockFacilities;
    DWORD dwReadMsgStorages;
    DWORD dwWriteMsgStorages;
    DWORD dwNumLockingPwdLengths;
    SIMLOCKINGPWDLENGTH rgLockingPwdLengths[SIM_NUMLOCKFACILITIES];
};
typedef SIMCAPS* LPSIMCAPS;
static_assert(sizeof(SIMCAPS) == 124);
static_assert(offsetof(SIMCAPS, dwMaxPBEAddressLength) == 20);
static_assert(offsetof(SIMCAPS, dwMaxPBETextLength) == 24);

// SIMPHONEBOOKENTRY.dwParams.
#define SIM_PARAM_PBE_ADDRESS 0x00000001
#define SIM_PARAM_PBE_ADDRESS_TYPE 0x00000002
#define SIM_PARAM_PBE_NUMPLAN 0x00000004
#define SIM_PARAM_PBE_TEXT 0x00000008
#define SIM_PARAM_PBE_ALL 0x0000000F

// An international number is held without its "+" and with SIM_ADDRTYPE_INTERNATIONAL. A write
// also takes a leading "+" in the address as the international mark.
struct SIMPHONEBOOKENTRY {
    DWORD cbSize;
    DWORD dwParams;
    WCHAR lpszAddress[MAX_LENGTH_ADDRESS];
    DWORD dwAddressType;
    DWORD dwNumPlan;
    WCHAR lpszText[MAX_LENGTH_PHONEBOOKENTRYTEXT];
};
typedef SIMPHONEBOOKENTRY* LPSIMPHONEBOOKENTRY;
static_assert(sizeof(SIMPHONEBOOKENTRY) == 1040);
static_assert(offsetof(SIMPHONEBOOKENTRY, lpszAddress) == 8);
static_assert(offsetof(SIMPHONEBOOKENTRY, dwAddressType) == 520);
static_assert(offsetof(SIMPHONEBOOKENTRY, dwNumPlan) == 524);
static_assert(offsetof(SIMPHONEBOOKENTRY, lpszText) == 528);

// The data of SIM_NOTIFY_PBE_STORED and SIM_NOTIFY_PBE_DELETED.
struct SIMPBECHANGE {
    DWORD dwEntry;
    DWORD dwStorage;
};
static_assert(sizeof(SIMPBECHANGE) == 8);

// The extended (USIM) phonebook. Cards without it still answer these calls; their capabilities
// then show no additional numbers and no e-mail.
#define SIM_PARAM_PBCAPS_ALL 0x0001FFFF

struct SIMPHONEBOOKCAPS {
    DWORD cbSize;
    DWORD dwParams;
    DWORD dwStorages;
    DWORD dwMinIndex;
    DWORD dwMaxIndex;
    DWORD dwMaxAddressLength;
    DWORD dwMaxTextLength;
    DWORD dwMaxSecondNameLength;
    DWORD dwMaxAdditionalNumberLength; // 0: no additional number
    DWORD dwMaxEmailAddressLength;     // 0: no e-mail
    DWORD dwMaxGroupTagLength;
    DWORD dwMaxAdditionalNumberTagLength;
    DWORD dwAdditionalNumberCount;
    DWORD dwEmailAddressCount;
    DWORD dwMaxGroupTags;
    DWORD dwMaxAdditionalNumberTags;
    BOOL fHidden;
    BOOL fUid;
    DWORD dwMaxGroupIdCount;
};
typedef SIMPHONEBOOKCAPS* LPSIMPHONEBOOKCAPS;
static_assert(sizeof(SIMPHONEBOOKCAPS) == 76);
static_assert(offsetof(SIMPHONEBOOKCAPS, dwMinIndex) == 12);
static_assert(offsetof(SIMPHONEBOOKCAPS, dwMaxIndex) == 16);
static_assert(offsetof(SIMPHONEBOOKCAPS, dwMaxAddressLength) == 20);
static_assert(offsetof(SIMPHONEBOOKCAPS, dwMaxTextLength) == 24);
static_assert(offsetof(SIMPHONEBOOKCAPS, dwMaxSecondNameLength) == 28);
static_assert(offsetof(SIMPHONEBOOKCAPS, dwMaxAdditionalNumberLength) == 32);
static_assert(offsetof(SIMPHONEBOOKCAPS, dwMaxEmailAddressLength) == 36);
static_assert(offsetof(SIMPHONEBOOKCAPS, dwMaxGroupTagLength) == 40);
static_assert(offsetof(SIMPHONEBOOKCAPS, dwAdditionalNumberCount) == 48);
static_assert(offsetof(SIMPHONEBOOKCAPS, dwEmailAddressCount) == 52);
static_assert(offsetof(SIMPHONEBOOKCAPS, dwMaxGroupTags) == 56);
static_assert(offsetof(SIMPHONEBOOKCAPS, dwMaxGroupIdCount) == 72);

#define SIM_PARAM_PBADDITIONALNUMBER_ALL 0x0000000F

struct SIMPHONEBOOKADDITIONALNUMBER {
    DWORD cbSize;
    DWORD dwParams;
    WCHAR lpszAddress[MAX_LENGTH_ADDRESS];
    DWORD dwAddressType;
    DWORD dwNumPlan;
    DWORD dwNumId;
};
typedef SIMPHONEBOOKADDITIONALNUMBER* LPSIMPHONEBOOKADDITIONALNUMBER;
static_assert(sizeof(SIMPHONEBOOKADDITIONALNUMBER) == 532);
static_assert(offsetof(SIMPHONEBOOKADDITIONALNUMBER, lpszAddress) == 8);
static_assert(offsetof(SIMPHONEBOOKADDITIONALNUMBER, dwAddressType) == 520);
static_assert(offsetof(SIMPHONEBOOKADDITIONALNUMBER, dwNumPlan) == 524);
static_assert(offsetof(SIMPHONEBOOKADDITIONALNUMBER, dwNumId) == 528);

#define SIM_PARAM_PBEMAIL_ALL 0x00000001

struct SIMPHONEBOOKEMAILADDRESS {
    DWORD cbSize;
    DWORD dwParams;
    WCHAR lpszAddress[MAX_LENGTH_PHONEBOOKENTRYTEXT];
};
typedef SIMPHONEBOOKEMAILADDRESS* LPSIMPHONEBOOKEMAILADDRESS;
static_assert(sizeof(SIMPHONEBOOKEMAILADDRESS) == 520);
static_assert(offsetof(SIMPHONEBOOKEMAILADDRESS, lpszAddress) == 8);

// SIMPHONEBOOKENTRYEX.dwParams. A write takes the additional number when both of its bits are
// set, and the e-mail likewise; other bits are accepted and ignored.
#define SIM_PARAM_PBEEX_ADDRESS 0x00000001
#define SIM_PARAM_PBEEX_ADDRESS_TYPE 0x00000002
#define SIM_PARAM_PBEEX_NUMPLAN 0x00000004
#define SIM_PARAM_PBEEX_TEXT 0x00000008
#define SIM_PARAM_PBEEX_ADDITIONALNUMBERCOUNT 0x00000200
#define SIM_PARAM_PBEEX_ADDITIONALNUMBERS 0x00000400
#define SIM_PARAM_PBEEX_EMAILCOUNT 0x00000800
#define SIM_PARAM_PBEEX_EMAILS 0x00001000
#define SIM_PARAM_PBEEX_INDEX 0x00002000
#define SIM_PARAM_PBEEX_ALL 0x00003FFF

// The first 1608 bytes are laid out as on the device. The two sub-record addresses are native
// pointers, so the record's real size is sizeof(SIMPHONEBOOKENTRYEX) (1624 only where pointers
// are 4 bytes); size buffers with sizeof, never with a literal.
struct SIMPHONEBOOKENTRYEX {
    DWORD cbSize;
    DWORD dwParams;
    WCHAR lpszAddress[MAX_LENGTH_ADDRESS];
    DWORD dwAddressType;
    DWORD dwNumPlan;
    WCHAR lpszText[MAX_LENGTH_PHONEBOOKENTRYTEXT];
    WCHAR lpszSecondName[MAX_LENGTH_PHONEBOOKENTRYTEXT];
    DWORD dwIndex;
    BOOL fHidden;
    DWORD dwGroupIdCount;
    DWORD rgdwGroupId[MAX_NUM_GROUPS];
    DWORD dwUid;
    DWORD dwAdditionalNumberCount;
    LPSIMPHONEBOOKADDITIONALNUMBER lpAdditionalNumbers;
    DWORD dwEmailCount;
    LPSIMPHONEBOOKEMAILADDRESS lpEmailAddresses;
};
typedef SIMPHONEBOOKENTRYEX* LPSIMPHONEBOOKENTRYEX;
static_assert(offsetof(SIMPHONEBOOKENTRYEX, lpszAddress) == 8);
static_assert(offsetof(SIMPHONEBOOKENTRYEX, dwAddressType) == 520);
static_assert(offsetof(SIMPHONEBOOKENTRYEX, dwNumPlan) == 524);
static_assert(offsetof(SIMPHONEBOOKENTRYEX, lpszText) == 528);
static_assert(offsetof(SIMPHONEBOOKENTRYEX, lpszSecondName) == 1040);
static_assert(offsetof(SIMPHONEBOOKENTRYEX, dwAdditionalNumberCount) == 1608);
static_assert(offsetof(SIMPHONEBOOKENTRYEX, lpAdditionalNumbers) ==
              (sizeof(void*) == 4 ? 1612 : 1616));
static_assert(sizeof(SIMPHONEBOOKENTRYEX) == (sizeof(void*) == 4 ? 1624 : 1640));

HRESULT WINAPI SimInitialize(DWORD dwFlags, SIMCALLBACK lpfnCallBack, DWORD dwParam, LPHSIM lphSim);
// Once it returns, the handle's callback is not running and is never called again, also when it
// is called from inside that callback.
HRESULT WINAPI SimDeinitialize(HSIM hSim);

HRESULT WINAPI SimGetDevCaps(HSIM hSim, DWORD dwCapsType, LPSIMCAPS lpSimCaps);
HRESULT WINAPI SimGetPhoneLockedState(HSIM hSim, LPDWORD lpdwLockedState);
HRESULT WINAPI SimGetLockingStatus(HSIM hSim, DWORD dwLockingFacility, LPWSTR lpszPassword,
                                   BOOL* pfEnabled);

HRESULT WINAPI SimGetPhonebookStatus(HSIM hSim, DWORD dwLocation, LPDWORD lpdwUsed,
                                     LPDWORD lpdwTotal);
HRESULT WINAPI SimReadPhonebookEntry(HSIM hSim, DWORD dwLocation, DWORD dwIndex,
                                     LPSIMPHONEBOOKENTRY lpPhonebookEntry);
// dwIndex may be SIM_PBINDEX_FIRSTAVAILABLE; the stored notification then names the slot taken.
HRESULT WINAPI SimWritePhonebookEntry(HSIM hSim, DWORD dwLocation, DWORD dwIndex,
                                      LPSIMPHONEBOOKENTRY lpPhonebookEntry);
HRESULT WINAPI SimDeletePhonebookEntry(HSIM hSim, DWORD dwLocation, DWORD dwIndex);

HRESULT WINAPI SimGetPhonebookCapabilities(HSIM hSim, LPSIMPHONEBOOKCAPS lpCapabilities);
// Reads up to *lpdwCount occupied slots from dwStartIndex on. The buffer receives the entries one
// after the other, then their sub-records, to which each entry's pointers are set. On success
// *lpdwCount is the number of entries and *lpdwBufferSize the bytes used; a buffer that is too
// small gives SIM_E_BUFFERTOOSMALL with *lpdwBufferSize set to the bytes needed.
HRESULT WINAPI SimReadPhonebookEntries(HSIM hSim, DWORD dwLocation, DWORD dwStartIndex,
                                       LPDWORD lpdwCount, LPSIMPHONEBOOKENTRYEX lpEntries,
                                       LPDWORD lpdwBufferSize);
HRESULT WINAPI SimWritePhonebookEntryEx(HSIM hSim, DWORD dwLocation, DWORD dwIndex,
                                        LPSIMPHONEBOOKENTRYEX lpEntry);
