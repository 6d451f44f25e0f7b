// Saving an entry to the card: the number reduced to what a SIM number may hold, the card's
// length limits, the UCS-2 rule that halves the room for a name, and the error boxes that explain
// a refusal.
#pragma once

#include "sim/sim_types.h"

// Characters of each field of an ENTRYFIELDS block, terminator included.
#define ENTRYFIELD_SIZE 260

// The form in which the editor and the retrieve view hand an entry to the save operations, which
// may shorten the name and number in place.
struct ENTRYFIELDS {
    WCHAR szName[ENTRYFIELD_SIZE];
    WCHAR szNumber[ENTRYFIELD_SIZE];
    WCHAR szNickName[ENTRYFIELD_SIZE];
    WCHAR szNumber2[ENTRYFIELD_SIZE];
    WCHAR szEmail[ENTRYFIELD_SIZE];
};
static_assert(sizeof(ENTRYFIELDS) == 1300 * sizeof(WCHAR));

// Results of the save operations.
#define SAVE_RESULT_SAVED 1
#define SAVE_RESULT_CLIPPED 2
#define SAVE_RESULT_FAILED (-1)

// iStrict 1 refuses a name over its limit; any other value shortens it.
int SIM_SaveEntry(int iIndex, ENTRYFIELDS* pFields, int iStrict, HWND hOwner);
int USIM_SaveEntry(int iIndex, ENTRYFIELDS* pFields, int iStrict, HWND hOwner);

// Copies the characters of "0123456789p+*#" from the source, in order; the destination must
// have room for the whole source.
void SIM_FilterNumber(LPCWSTR pszSource, LPWSTR pszDestination);
int SIM_HasDigit(LPCWSTR pszText);
int SIM_IsNonGsmChar(WCHAR wch);
int SIM_IsUCS2Name(LPCWSTR pszName);

// Puts the second number and the e-mail of the fields into the extended entry's first
// sub-records, as far as the card holds them. Sub-records the entry lacks are allocated and
// handed back through the two pointers, for the caller to free; an entry that already holds
// several keeps its count and every sub-record after the first. FALSE when an allocation failed.
BOOL USIM_SetSubRecords(USIM_PBENTRY* pEntry, const ENTRYFIELDS* pFields,
                        USIM_ADDNUMBER** ppNewNumber, USIM_EMAIL** ppNewEmail);
