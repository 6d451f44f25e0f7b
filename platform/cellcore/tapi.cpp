#include <tapi.h>

#include "cellcore/card_backend.h"

#include <string_view>

LONG WINAPI tapiRequestMakeCall(LPCWSTR lpszDestAddress, LPCWSTR, LPCWSTR lpszCalledParty,
                                LPCWSTR) {
    if (lpszDestAddress == nullptr || *lpszDestAddress == u'\0') {
        return TAPIERR_INVALDESTADDRESS;
    }
    const std::u16string_view name = lpszCalledParty ? lpszCalledParty : u"";
    return handset::make_card_backend()->place_call(lpszDestAddress, name);
}
