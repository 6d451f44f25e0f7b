#include "at_result.h"

#include <simmgr.h>

namespace handsetctl {

std::string_view cme_text(CmeError error) {
    switch (error) {
    case CmeError::operation_not_allowed:
        return "operation not allowed";
    case CmeError::operation_not_supported:
        return "operation not supported";
    case CmeError::sim_not_inserted:
        return "SIM not inserted";
    case CmeError::sim_pin_required:
        return "SIM PIN required";
    case CmeError::sim_puk_required:
        return "SIM PUK required";
    case CmeError::sim_failure:
        return "SIM failure";
    case CmeError::sim_busy:
        return "SIM busy";
    case CmeError::sim_wrong:
        return "SIM wrong";
    case CmeError::sim_pin2_required:
        return "SIM PIN2 required";
    case CmeError::sim_puk2_required:
        return "SIM PUK2 required";
    case CmeError::memory_full:
        return "memory full";
    case CmeError::invalid_index:
        return "invalid index";
    case CmeError::not_found:
        return "not found";
    case CmeError::memory_failure:
        return "memory failure";
    case CmeError::text_too_long:
        return "text string too long";
    case CmeError::invalid_text_characters:
        return "invalid characters in text string";
    case CmeError::dial_string_too_long:
        return "dial string too long";
    case CmeError::invalid_dial_characters:
        return "invalid characters in dial string";
    case CmeError::incorrect_parameters:
        return "incorrect parameters";
    case CmeError::unknown:
        return "unknown";
    }
    return "unknown";
}

// A radio that is off is the minimum functionality of +CFUN=0, in which a modem allows no access
// to the card; a phonebook that is still being read is the card being busy.
AtResult AtResult::of(HRESULT result) {
    switch (result) {
    case S_OK:
        return ok();
    case SIM_E_RADIOOFF:
        return failed(CmeError::operation_not_allowed);
    case SIM_E_UNSUPPORTED:
        return failed(CmeError::operation_not_supported);
    case SIM_E_SIMNOTINSERTED:
    case SIM_E_NOSIM:
        return failed(CmeError::sim_not_inserted);
    case SIM_E_SIMPINREQUIRED:
        return failed(CmeError::sim_pin_required);
    case SIM_E_SIMPUKREQUIRED:
        return failed(CmeError::sim_puk_required);
    case SIM_E_SIMPIN2REQUIRED:
        return failed(CmeError::sim_pin2_required);
    case SIM_E_SIMPUK2REQUIRED:
        return failed(CmeError::sim_puk2_required);
    case SIM_E_SIMBUSY:
    case SIM_E_NOTREADY:
        return failed(CmeError::sim_busy);
    case SIM_E_SIMWRONG:
        return failed(CmeError::sim_wrong);
    case SIM_E_MEMORYFULL:
        return failed(CmeError::memory_full);
    case SIM_E_INVALIDINDEX:
        return failed(CmeError::invalid_index);
    case SIM_E_NOTFOUND:
        return failed(CmeError::not_found);
    case SIM_E_MEMORYFAILURE:
        return failed(CmeError::memory_failure);
    case SIM_E_BADPARAM:
        return failed(CmeError::incorrect_parameters);
    default:
        return failed(CmeError::unknown);
    }
}

} // namespace handsetctl
