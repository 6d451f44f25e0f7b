// PIN1 of the virtual card. Whether it is enabled or blocked is the emulated card's lock (none:
// disabled, pin: enabled, puk: blocked); whether it was given is the card session's, until the
// reader resets the card. The tries left last across sessions, as on a card, and are whole again
// once the card is unblocked.
#pragma once

#include "cellcore/bytes.h"
#include "cellcore/card_types.h"

#include <string_view>

namespace handsetctl {

class SimPin {
  public:
    static constexpr int max_tries = 3;
    static constexpr size_t code_length = 8;

    // The PIN's digits; the card compares them padded with 0xFF, as readers send them.
    explicit SimPin(std::string_view digits);

    void follow(handset::PinLock lock);
    void end_session() { m_verified = false; }

    bool enabled() const { return m_lock != handset::PinLock::none; }
    bool blocked() const { return m_lock == handset::PinLock::puk; }
    // Whether what PIN1 protects may be read and written.
    bool open() const { return !enabled() || (m_verified && !blocked()); }
    bool verified() const { return m_verified; }
    int tries_left() const { return blocked() ? 0 : m_tries; }

    enum class Outcome { accepted, rejected, blocked_now, blocked, disabled };
    Outcome verify(handset::ByteView code);

  private:
    handset::Bytes m_code;
    handset::PinLock m_lock = handset::PinLock::none;
    int m_tries = max_tries;
    bool m_verified = false;
};

} // namespace handsetctl
