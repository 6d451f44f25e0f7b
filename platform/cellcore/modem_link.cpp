#include "cellcore/modem_link.h"

#include "cellcore/at_reply.h"

#include <simmgr.h>

namespace handset {

namespace {

// A feed polls ten times a second; it never falls this far behind.
constexpr size_t kept_changes = 64;

std::optional<std::string_view> first_word_of(std::string_view line, std::string_view name) {
    std::optional<std::string_view> body = response_body(line, name);
    if (!body) {
        return std::nullopt;
    }
    if (!body->empty() && body->front() == '"') {
        body->remove_prefix(1);
    }
    return body;
}

} // namespace

ModemLink::ModemLink(SerialLine line, std::chrono::milliseconds timeout)
    : m_timeout(timeout), m_channel(std::move(line)), m_log(kept_changes) {
    m_channel.on_unsolicited([this](std::string_view text) { unsolicited(text); });
}

AtResponse ModemLink::command(std::string_view command) {
    return this->command(command, m_timeout);
}

// A modem whose line closed (unplugged, or its program ended) is a radio that went away: the
// handles hear of it once, as of a radio switched off, so a program need not find out call by
// call.
AtResponse ModemLink::command(std::string_view command, std::chrono::milliseconds timeout) {
    AtResponse response;
    {
        std::lock_guard lock(m_channel_mutex);
        response = m_channel.command(command, timeout);
    }
    if (response.outcome == AtOutcome::closed) {
        radio_seen(false);
    }
    return response;
}

// "+CFUN: 0" reports the radio switched off; "+CPIN: NOT READY", "+CPIN: NOT INSERTED" and
// "+SIMCARD: NOT AVAILABLE" a card that went away.
void ModemLink::unsolicited(std::string_view line) {
    if (std::optional<std::string_view> radio = first_word_of(line, "+CFUN")) {
        radio_seen(!radio->starts_with("0"));
        return;
    }
    std::optional<std::string_view> card = first_word_of(line, "+CPIN");
    if (!card) {
        card = first_word_of(line, "+SIMCARD");
    }
    if (card && card->starts_with("NOT")) {
        std::lock_guard lock(m_state_mutex);
        m_card_removed = true;
    }
}

void ModemLink::radio_seen(bool on) {
    std::lock_guard lock(m_state_mutex);
    if (m_radio_on && !on) {
        m_log.note(SIM_NOTIFY_RADIOOFF, 0);
    }
    m_radio_on = on;
}

bool ModemLink::take_card_removed() {
    std::lock_guard lock(m_state_mutex);
    return std::exchange(m_card_removed, false);
}

int64_t ModemLink::newest_change() {
    return m_log.newest();
}

std::vector<CardChange> ModemLink::changes_after(int64_t after) {
    {
        std::unique_lock channel(m_channel_mutex, std::try_to_lock);
        if (channel.owns_lock()) {
            m_channel.drain();
        }
    }
    return m_log.after(after);
}

} // namespace handset
