#include "sim_pin.h"

namespace handsetctl {

SimPin::SimPin(std::string_view digits) : m_code(digits.begin(), digits.end()) {
    m_code.resize(code_length, 0xFF);
}

void SimPin::follow(handset::PinLock lock) {
    if (blocked() && lock != handset::PinLock::puk) {
        m_tries = max_tries;
    }
    m_lock = lock;
}

SimPin::Outcome SimPin::verify(handset::ByteView code) {
    if (blocked()) {
        return Outcome::blocked;
    }
    if (!enabled()) {
        return Outcome::disabled;
    }
    if (code == handset::ByteView(m_code)) {
        m_verified = true;
        m_tries = max_tries;
        return Outcome::accepted;
    }
    if (--m_tries > 0) {
        return Outcome::rejected;
    }
    m_lock = handset::PinLock::puk;
    m_verified = false;
    return Outcome::blocked_now;
}

} // namespace handsetctl
