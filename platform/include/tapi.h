// Assisted telephony: asking the phone to place a voice call.
#pragma once

#include <windef.h>

#define TAPIERR_CONNECTED 0L
#define TAPIERR_INVALDESTADDRESS (-4L)
#define TAPIERR_REQUESTFAILED (-16L)

// Places a voice call to lpszDestAddress and records it (time, number, called party) in the
// device's call log. The application name and the comment may be null and are not kept. Fails
// with TAPIERR_INVALDESTADDRESS for a missing or empty number and TAPIERR_REQUESTFAILED while the
// radio is off or the log cannot be written.
LONG WINAPI tapiRequestMakeCall(LPCWSTR lpszDestAddress, LPCWSTR lpszAppName,
                                LPCWSTR lpszCalledParty, LPCWSTR lpszComment);
