// How an AT command ends: OK, ERROR, a +CME ERROR of 3GPP TS 27.007 (§9.2) or NO CARRIER, and the
// card's SIM_E_ results as the +CME ERROR a modem with that card would give.
#pragma once

#include <windef.h>

#include <functional>
#include <string>
#include <string_view>

namespace handsetctl {

enum class CmeError {
    operation_not_allowed = 3,
    operation_not_supported = 4,
    sim_not_inserted = 10,
    sim_pin_required = 11,
    sim_puk_required = 12,
    sim_failure = 13,
    sim_busy = 14,
    sim_wrong = 15,
    sim_pin2_required = 17,
    sim_puk2_required = 18,
    memory_full = 20,
    invalid_index = 21,
    not_found = 22,
    memory_failure = 23,
    text_too_long = 24,
    invalid_text_characters = 25,
    dial_string_too_long = 26,
    invalid_dial_characters = 27,
    incorrect_parameters = 50,
    unknown = 100,
};

// The words of AT+CMEE=2.
std::string_view cme_text(CmeError error);

struct AtResult {
    enum class Kind { ok, error, cme_error, no_carrier };

    Kind kind = Kind::ok;
    CmeError cme = CmeError::unknown;

    static AtResult ok() { return {}; }
    static AtResult error() { return {Kind::error}; }
    static AtResult no_carrier() { return {Kind::no_carrier}; }
    static AtResult failed(CmeError cme) { return {Kind::cme_error, cme}; }
    // OK for S_OK, otherwise the +CME ERROR for the card's refusal.
    static AtResult of(HRESULT result);

    bool succeeded() const { return kind == Kind::ok; }
};

// Where a command writes its information responses, a line at a time.
using AtInfo = std::function<void(const std::string&)>;

} // namespace handsetctl
