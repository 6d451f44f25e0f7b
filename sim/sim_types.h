// The SIM records and constants by the names the program uses. They are the SIM library's own
// records, so the two cannot drift apart.
#pragma once

#include <windows.h>

#include <cstddef>
#include <simmgr.h>

typedef SIMPHONEBOOKENTRY SIM_PBENTRY;
typedef SIMCAPS SIM_CAPS;
typedef SIMPBECHANGE SIM_PBECHANGE;

typedef SIMPHONEBOOKCAPS USIM_PBCAPS;
typedef SIMPHONEBOOKENTRYEX USIM_PBENTRY;
typedef SIMPHONEBOOKADDITIONALNUMBER USIM_ADDNUMBER;
typedef SIMPHONEBOOKEMAILADDRESS USIM_EMAIL;

#define SIM_STORAGE_SIM SIM_PBSTORAGE_SIM
// Asks the card for its first free slot.
#define SIM_INDEX_FIRSTFREE (-1)

// Characters of a SIM number or name, terminator included.
#define SIM_TEXT_SIZE 256

static_assert(sizeof(SIM_PBENTRY) == 1040);
static_assert(offsetof(SIM_PBENTRY, cbSize) == 0);
static_assert(offsetof(SIM_PBENTRY, dwParams) == 4);
static_assert(offsetof(SIM_PBENTRY, lpszAddress) == 8);
static_assert(offsetof(SIM_PBENTRY, dwAddressType) == 520);
static_assert(offsetof(SIM_PBENTRY, dwNumPlan) == 524);
static_assert(offsetof(SIM_PBENTRY, lpszText) == 528);
static_assert(offsetof(SIM_CAPS, dwMaxPBEAddressLength) == 20);
static_assert(offsetof(SIM_CAPS, dwMaxPBETextLength) == 24);
static_assert(sizeof(SIM_PBECHANGE) == 8);
static_assert(SIM_STORAGE_SIM == 16);
static_assert(static_cast<DWORD>(SIM_INDEX_FIRSTFREE) == SIM_PBINDEX_FIRSTAVAILABLE);
static_assert(sizeof(USIM_PBCAPS) == 76);
static_assert(sizeof(USIM_ADDNUMBER) == 532);
static_assert(sizeof(USIM_EMAIL) == 520);
static_assert(offsetof(USIM_PBENTRY, dwAdditionalNumberCount) == 1608);
