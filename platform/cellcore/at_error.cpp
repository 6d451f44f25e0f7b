#include "cellcore/at_error.h"

#include "cellcore/at_reply.h"

#include <simmgr.h>

#include <array>
#include <string_view>

namespace handset {

namespace {

struct MobileError {
    int code;
    std::string_view text; // the verbose form, as modems without AT+CMEE=1 send it
    HRESULT result;
};

constexpr std::array<MobileError, 30> mobile_errors = {{
    {0, "phone failure", SIM_E_MOBILEERROR},
    {1, "no connection to phone", SIM_E_RADIONOTPRESENT},
    {3, "operation not allowed", SIM_E_SECURITYFAILURE},
    {4, "operation not supported", SIM_E_UNSUPPORTED},
    {5, "PH-SIM PIN required", SIM_E_PHSIMPINREQUIRED},
    {6, "PH-FSIM PIN required", SIM_E_PHFSIMPINREQUIRED},
    {7, "PH-FSIM PUK required", SIM_E_PHFSIMPUKREQUIRED},
    {10, "SIM not inserted", SIM_E_SIMNOTINSERTED},
    {11, "SIM PIN required", SIM_E_SIMPINREQUIRED},
    {12, "SIM PUK required", SIM_E_SIMPUKREQUIRED},
    {13, "SIM failure", SIM_E_SIMWRONG},
    {14, "SIM busy", SIM_E_SIMBUSY},
    {15, "SIM wrong", SIM_E_SIMWRONG},
    {16, "incorrect password", SIM_E_INCORRECTPASSWORD},
    {17, "SIM PIN2 required", SIM_E_SIMPIN2REQUIRED},
    {18, "SIM PUK2 required", SIM_E_SIMPUK2REQUIRED},
    {20, "memory full", SIM_E_MEMORYFULL},
    {21, "invalid index", SIM_E_INVALIDINDEX},
    {22, "not found", SIM_E_NOTFOUND},
    {23, "memory failure", SIM_E_MEMORYFAILURE},
    // Too long or unwritable fields are the caller's bad parameters, as the emulated card says.
    {24, "text string too long", SIM_E_BADPARAM},
    {25, "invalid characters in text string", SIM_E_BADPARAM},
    {26, "dial string too long", SIM_E_BADPARAM},
    {27, "invalid characters in dial string", SIM_E_BADPARAM},
    {30, "no network service", SIM_E_NETWORKERROR},
    {31, "network timeout", SIM_E_NETWORKERROR},
    {32, "network not allowed - emergency calls only", SIM_E_NETWORKERROR},
    {40, "network personalization PIN required", SIM_E_NETWKPINREQUIRED},
    {41, "network personalization PUK required", SIM_E_NETWKPUKREQUIRED},
    {100, "unknown", SIM_E_UNDETERMINED},
}};

HRESULT mobile_error(const AtResponse& response) {
    for (const MobileError& error : mobile_errors) {
        if (response.error_code >= 0 ? error.code == response.error_code
                                     : same_ascii_text(error.text, response.error_text)) {
            return error.result;
        }
    }
    return SIM_E_MOBILEERROR;
}

} // namespace

HRESULT sim_error(const AtResponse& response) {
    switch (response.outcome) {
    case AtOutcome::cme_error:
        return mobile_error(response);
    case AtOutcome::timeout:
    case AtOutcome::closed:
        return SIM_E_RADIONOTPRESENT;
    case AtOutcome::ok:
    case AtOutcome::connect:
        return S_OK;
    case AtOutcome::error:
    case AtOutcome::cms_error:
    case AtOutcome::no_carrier:
    case AtOutcome::busy:
    case AtOutcome::no_answer:
    case AtOutcome::no_dialtone:
        return SIM_E_MOBILEERROR;
    }
    return SIM_E_MOBILEERROR;
}

} // namespace handset
