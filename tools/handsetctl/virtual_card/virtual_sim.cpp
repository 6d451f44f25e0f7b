#include "virtual_sim.h"

namespace handsetctl {

namespace {

using handset::Bytes;

constexpr uint8_t gsm_class = 0xA0;
constexpr uint8_t uicc_class = 0x00;
constexpr uint8_t select_ins = 0xA4;
constexpr uint8_t read_record_ins = 0xB2;
constexpr uint8_t update_record_ins = 0xDC;
constexpr uint8_t read_binary_ins = 0xB0;
constexpr uint8_t update_binary_ins = 0xD6;
constexpr uint8_t get_response_ins = 0xC0;
constexpr uint8_t status_ins = 0xF2;
constexpr uint8_t verify_ins = 0x20;
constexpr uint8_t pin1 = 0x01;
// The records of the current EF, addressed by number.
constexpr uint8_t absolute_record = 0x04;
constexpr size_t largest_le = 256;

// SELECT's P1 and P2 on a UICC.
constexpr uint8_t select_by_id = 0x00;
constexpr uint8_t select_by_name = 0x04;
constexpr uint8_t select_by_path = 0x08;
constexpr uint8_t return_fcp = 0x04;
constexpr uint8_t return_fci = 0x00;
constexpr uint8_t return_nothing = 0x0C;

// T=0 only, and historical bytes that name the card.
const Bytes card_atr = {0x3B, 0x0B, 'T', 'e', 'l', 'v', 'a', 'n', 'e', ' ', 'S', 'I', 'M'};

void append_tlv(Bytes& to, uint8_t tag, const Bytes& value) {
    to += {tag, static_cast<uint8_t>(value.size())};
    to += value;
}

Bytes two_bytes(int value) {
    return {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xFF)};
}

uint16_t with_length(uint16_t word, size_t length) {
    return static_cast<uint16_t>(word | (length & 0xFF));
}

} // namespace

VirtualSim::VirtualSim(handset::CardFile& card, std::string_view pin)
    : m_records(card), m_pin(pin) {
    follow_card();
}

const Bytes& VirtualSim::atr() {
    return card_atr;
}

bool VirtualSim::follow_card() {
    if (m_records.refresh()) {
        m_tree.emplace(m_records.layout());
        reset();
    }
    m_pin.follow(m_records.state().lock);
    return m_records.state().present;
}

void VirtualSim::reset() {
    m_pin.end_session();
    m_folder = SimFileTree::master;
    m_file.reset();
    m_pending.clear();
}

Bytes VirtualSim::respond(handset::ByteView command) {
    std::optional<Apdu> apdu = parse_apdu(command);
    if (!apdu) {
        m_pending.clear();
        return CardReply{{}, 0x6700}.bytes();
    }
    return answer(*apdu).bytes();
}

CardReply VirtualSim::answer(const Apdu& apdu) {
    const bool uicc = m_records.layout().extended();
    m_gsm = apdu.cla == gsm_class || !uicc;
    if (apdu.cla != gsm_class && !(uicc && apdu.cla == uicc_class)) {
        return reply(Status::wrong_cla);
    }
    if (apdu.ins == get_response_ins) {
        return get_response(apdu);
    }
    m_pending.clear();
    return dispatch(apdu);
}

CardReply VirtualSim::dispatch(const Apdu& apdu) {
    switch (apdu.ins) {
    case select_ins:
        return select(apdu);
    case read_record_ins:
        return read_record(apdu);
    case update_record_ins:
        return update_record(apdu);
    case read_binary_ins:
        return read_binary(apdu);
    case update_binary_ins:
        return update_binary(apdu);
    case status_ins:
        return status(apdu);
    case verify_ins:
        return verify(apdu);
    default:
        return reply(Status::wrong_ins);
    }
}

CardReply VirtualSim::select(const Apdu& apdu) {
    if (m_gsm ? apdu.p1 != 0 || apdu.p2 != 0
              : apdu.p2 != return_fcp && apdu.p2 != return_fci && apdu.p2 != return_nothing) {
        return reply(Status::wrong_p1p2);
    }
    if (!m_gsm && apdu.p1 != select_by_id && apdu.p1 != select_by_name &&
        apdu.p1 != select_by_path) {
        return reply(Status::wrong_p1p2);
    }
    if (apdu.data.empty() || (apdu.p1 == select_by_id && apdu.data.size() != 2)) {
        return reply(Status::wrong_length);
    }
    std::optional<int> found = find(apdu);
    if (!found) {
        return reply(Status::file_not_found);
    }
    return selected(*found, apdu.p2);
}

std::optional<int> VirtualSim::find(const Apdu& apdu) const {
    switch (apdu.p1) {
    case select_by_name:
        return m_tree->by_name(apdu.data);
    case select_by_path:
        return m_tree->by_path(apdu.data);
    default:
        return m_tree->by_id(m_folder, static_cast<uint16_t>(apdu.data[0] << 8 | apdu.data[1]));
    }
}

CardReply VirtualSim::selected(int index, uint8_t p2) {
    const SimFile& file = m_tree->file(index);
    if (file.is_folder()) {
        m_folder = index;
        m_file.reset();
    } else {
        // A path may reach an EF in another DF, which then becomes the current one.
        m_folder = file.parent;
        m_file = index;
    }
    if (m_gsm) {
        m_pending = gsm_response(index);
        return {{}, with_length(0x9F00, m_pending.size())};
    }
    if (p2 == return_nothing) {
        return {{}, word(Status::ok)};
    }
    m_pending = fcp(file);
    return {{}, with_length(0x6100, m_pending.size())};
}

std::optional<CardReply> VirtualSim::check_current(FileKind kind) const {
    if (!m_file) {
        return reply(Status::no_current_ef);
    }
    if (m_tree->file(*m_file).kind != kind) {
        return reply(Status::wrong_file_type);
    }
    return std::nullopt;
}

// The refusal of a record command, or ok.
CardReply VirtualSim::check_record(const Apdu& apdu, bool writing) {
    if (std::optional<CardReply> refusal = check_current(FileKind::linear_fixed)) {
        return *refusal;
    }
    const SimFile& file = m_tree->file(*m_file);
    if (apdu.p2 != absolute_record) {
        return reply(Status::wrong_p1p2);
    }
    if (apdu.p1 < 1 || apdu.p1 > file.record_count) {
        return reply(Status::record_not_found);
    }
    const bool writable = file.content == FileContent::adn || file.content == FileContent::iap ||
                          file.content == FileContent::anr || file.content == FileContent::email;
    if ((file.needs_pin && !m_pin.open()) || (writing && !writable)) {
        return reply(Status::security_not_satisfied);
    }
    return reply(Status::ok);
}

CardReply VirtualSim::read_record(const Apdu& apdu) {
    const CardReply check = check_record(apdu, false);
    if (check.status != word(Status::ok)) {
        return check;
    }
    return sized(apdu, m_records.read(m_tree->file(*m_file), apdu.p1));
}

CardReply VirtualSim::update_record(const Apdu& apdu) {
    const CardReply check = check_record(apdu, true);
    if (check.status != word(Status::ok)) {
        return check;
    }
    const SimFile& file = m_tree->file(*m_file);
    if (apdu.data.size() != static_cast<size_t>(file.record_length)) {
        return reply(Status::wrong_length);
    }
    if (!m_records.write(file, apdu.p1, apdu.data)) {
        return reply(Status::wrong_data);
    }
    return reply(Status::ok);
}

CardReply VirtualSim::read_binary(const Apdu& apdu) {
    if (std::optional<CardReply> refusal = check_current(FileKind::transparent)) {
        return *refusal;
    }
    const SimFile& file = m_tree->file(*m_file);
    const size_t offset = static_cast<size_t>(apdu.p1 << 8 | apdu.p2);
    if ((apdu.p1 & 0x80) != 0 || offset >= static_cast<size_t>(file.size())) {
        return reply(Status::wrong_p1p2);
    }
    if (file.needs_pin && !m_pin.open()) {
        return reply(Status::security_not_satisfied);
    }
    const Bytes rest = m_records.read(file, 0).substr(offset);
    if (apdu.le && *apdu.le < rest.size()) {
        return {rest.substr(0, *apdu.le), word(Status::ok)};
    }
    return sized(apdu, rest);
}

// The card's only transparent file, its ICCID, is written when the card is made, never after.
CardReply VirtualSim::update_binary(const Apdu&) {
    if (std::optional<CardReply> refusal = check_current(FileKind::transparent)) {
        return *refusal;
    }
    return reply(Status::security_not_satisfied);
}

CardReply VirtualSim::get_response(const Apdu& apdu) {
    if (m_pending.empty()) {
        return reply(Status::nothing_to_get);
    }
    if (apdu.p1 != 0 || apdu.p2 != 0) {
        return reply(Status::wrong_p1p2);
    }
    const Bytes pending = std::move(m_pending);
    m_pending.clear();
    if (apdu.le && *apdu.le < pending.size()) {
        return {pending.substr(0, *apdu.le), word(Status::ok)};
    }
    return sized(apdu, pending);
}

CardReply VirtualSim::status(const Apdu& apdu) {
    if (m_gsm) {
        return sized(apdu, gsm_response(m_folder));
    }
    if (apdu.p2 == return_nothing) {
        return reply(Status::ok);
    }
    if (apdu.p2 != 0) {
        return reply(Status::wrong_p1p2);
    }
    return sized(apdu, fcp(m_tree->file(m_folder)));
}

CardReply VirtualSim::verify(const Apdu& apdu) {
    if (apdu.p1 != 0 || apdu.p2 != pin1) {
        return reply(Status::wrong_p1p2);
    }
    if (apdu.data.empty() && !m_gsm) {
        return pin_state();
    }
    if (apdu.data.size() != SimPin::code_length) {
        return reply(Status::wrong_length);
    }
    switch (m_pin.verify(apdu.data)) {
    case SimPin::Outcome::accepted:
        return reply(Status::ok);
    case SimPin::Outcome::rejected:
        return m_gsm ? reply(Status::security_not_satisfied)
                     : CardReply{{}, with_length(0x63C0, m_pin.tries_left())};
    case SimPin::Outcome::blocked_now:
        m_records.set_lock(handset::PinLock::puk);
        return reply(Status::pin_blocked);
    case SimPin::Outcome::blocked:
        return reply(Status::pin_blocked);
    case SimPin::Outcome::disabled:
        return reply(Status::pin_disabled);
    }
    return reply(Status::wrong_data);
}

CardReply VirtualSim::pin_state() const {
    if (m_pin.blocked()) {
        return reply(Status::pin_blocked);
    }
    if (m_pin.open()) {
        return reply(Status::ok);
    }
    return {{}, with_length(0x63C0, m_pin.tries_left())};
}

// A transfer of a known length: what Le asks for must be what there is (or 00, for all of it).
CardReply VirtualSim::sized(const Apdu& apdu, Bytes data) const {
    if (!apdu.le || *apdu.le == largest_le || *apdu.le == data.size()) {
        return {std::move(data), word(Status::ok)};
    }
    return {{}, with_length(m_gsm ? 0x6700 : 0x6C00, data.size())};
}

uint16_t VirtualSim::word(Status status) const {
    const StatusWords words = words_of(status);
    return m_gsm ? words.gsm : words.uicc;
}

// The same refusal on a 2G SIM and on a UICC.
VirtualSim::StatusWords VirtualSim::words_of(Status status) {
    switch (status) {
    case Status::ok:
        return {0x9000, 0x9000};
    case Status::file_not_found:
        return {0x9404, 0x6A82};
    case Status::record_not_found:
        return {0x9402, 0x6A83};
    case Status::security_not_satisfied:
        return {0x9804, 0x6982};
    case Status::pin_blocked:
        return {0x9840, 0x6983};
    case Status::pin_disabled:
        return {0x9808, 0x6984};
    case Status::wrong_file_type:
        return {0x9408, 0x6981};
    case Status::wrong_data:
        return {0x6F00, 0x6A80};
    case Status::wrong_length:
        return {0x6700, 0x6700};
    case Status::wrong_p1p2:
        return {0x6B00, 0x6B00};
    case Status::wrong_ins:
        return {0x6D00, 0x6D00};
    case Status::wrong_cla:
        return {0x6E00, 0x6E00};
    case Status::no_current_ef:
        return {0x9400, 0x6986};
    case Status::nothing_to_get:
        return {0x9400, 0x6985};
    }
    return {0x6F00, 0x6F00};
}

// The 2G response to SELECT: the MF's or a DF's 22 bytes, with PIN1's state, or an EF's 15.
Bytes VirtualSim::gsm_response(int index) const {
    const SimFile& file = m_tree->file(index);
    constexpr uint8_t secret_codes = 4;
    constexpr uint8_t initialised = 0x80;
    constexpr uint8_t chv1_disabled = 0x80;
    if (file.is_folder()) {
        const uint8_t type = file.kind == FileKind::master ? 0x01 : 0x02;
        Bytes response{0, 0, 0, 0};
        response += two_bytes(file.id);
        response += {type, 0, 0, 0, 0, 0, 9};
        response += {static_cast<uint8_t>(m_pin.enabled() ? 0 : chv1_disabled),
                     static_cast<uint8_t>(m_tree->folders_in(index)),
                     static_cast<uint8_t>(m_tree->files_in(index)),
                     secret_codes,
                     0,
                     static_cast<uint8_t>(initialised | m_pin.tries_left()),
                     initialised,
                     0,
                     0};
        return response;
    }
    const bool linear = file.kind == FileKind::linear_fixed;
    const uint8_t read_update = file.needs_pin ? 0x11 : 0x0F;
    Bytes response{0, 0};
    response += two_bytes(file.size());
    response += two_bytes(file.id);
    response += {0x04,
                 0,
                 read_update,
                 0x00,
                 0x44,
                 0x01,
                 2,
                 static_cast<uint8_t>(linear ? 1 : 0),
                 static_cast<uint8_t>(linear ? file.record_length : 0)};
    return response;
}

// The FCP template: descriptor, identifier, the application's name, size, life cycle (operational
// and activated), security (compact, none stated) and, for a DF, PIN1's status.
Bytes VirtualSim::fcp(const SimFile& file) const {
    constexpr uint8_t shareable = 0x21;
    Bytes body;
    if (file.is_folder()) {
        append_tlv(body, 0x82, {0x38, shareable});
    } else if (file.kind == FileKind::linear_fixed) {
        append_tlv(body, 0x82,
                   {0x02, shareable, 0x00, static_cast<uint8_t>(file.record_length),
                    static_cast<uint8_t>(file.record_count)});
    } else {
        append_tlv(body, 0x82, {0x01, shareable});
    }
    append_tlv(body, 0x83, two_bytes(file.id));
    if (!file.name.empty()) {
        append_tlv(body, 0x84, file.name);
    }
    if (!file.is_folder()) {
        append_tlv(body, 0x80, two_bytes(file.size()));
    }
    append_tlv(body, 0x8A, {0x05});
    append_tlv(body, 0x8C, {0x00});
    if (file.is_folder()) {
        const uint8_t enabled = m_pin.enabled() ? 0x80 : 0x00;
        append_tlv(body, 0xC6, {0x90, 0x01, enabled, 0x95, 0x01, 0x08, 0x83, 0x01, pin1});
    }
    Bytes template_bytes;
    append_tlv(template_bytes, 0x62, body);
    return template_bytes;
}

} // namespace handsetctl
