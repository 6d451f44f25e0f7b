// What a modem's refusal means to the SIM library: the SIM_E_ result for a failed AT command.
#pragma once

#include "cellcore/at_channel.h"

#include <windef.h>

namespace handset {

// The result for a response that is not OK:
//   +CME ERROR: n   the SIM error of that number (or of its verbose text, for a modem that
//                   ignored AT+CMEE=1), SIM_E_MOBILEERROR for a number we do not know;
//   plain ERROR     SIM_E_MOBILEERROR: the modem refused without saying why;
//   +CMS ERROR: n   SIM_E_MOBILEERROR: message service errors say nothing about the phonebook;
//   timeout, closed SIM_E_RADIONOTPRESENT: the modem does not answer at all, which the device
//                   reports as a radio that is not there. It is neither a card's refusal nor
//                   SIM_E_RADIOOFF, which would tell the user to switch on a radio that is
//                   unreachable.
// The call results (NO CARRIER and the like) are not phonebook outcomes: SIM_E_MOBILEERROR.
HRESULT sim_error(const AtResponse& response);

} // namespace handset
