// The extended (USIM) phonebook: a second number and an e-mail address with each entry, switched
// on by the registry and shaped by the capabilities the card reports.
#pragma once

#include "sim/sim_types.h"

int USIM_IsSupported();
int USIM_IsNickNameSupported();
int USIM_IsEmailSupported();
int USIM_IsPhone2Supported();
void USIM_GetPBCapabilities(USIM_PBCAPS* pCaps);
int USIM_ReadPBEntry(int iIndex, USIM_PBENTRY* pEntry);
int USIM_WritePBEntry(int iIndex, USIM_PBENTRY* pEntry);
int USIM_MAX_NameLength();
int USIM_MAX_NickNameLength();
int USIM_MAX_EmailLength();
int USIM_MAX_PhoneLength();
int USIM_MAX_Phone2Length();
USIM_PBENTRY* USIM_AllocEntry(USIM_PBENTRY** ppEntry);
USIM_ADDNUMBER* USIM_AllocAdditionalNumber(USIM_ADDNUMBER** ppNumber);
USIM_EMAIL* USIM_AllocEmail(USIM_EMAIL** ppEmail);
void USIM_FreeBlock(void* pBlock);

// Field mask bits of an extended entry.
#define USIM_PBENTRY_READMASK 0x3FFF
#define USIM_PBENTRY_NEWMASK 0x200F
#define USIM_PBENTRY_PHONE2BITS 0x0600
#define USIM_PBENTRY_EMAILBITS 0x1800
