#include "cellcore/card_wire.h"

#include "base/socket_transfer.h"
#include "user/peer_protocol.h"

#include <cstring>

namespace handset {

void WireWriter::put(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + size);
}

WireWriter& WireWriter::u32(uint32_t value) {
    put(&value, sizeof value);
    return *this;
}

WireWriter& WireWriter::i64(int64_t value) {
    put(&value, sizeof value);
    return *this;
}

WireWriter& WireWriter::text(std::u16string_view value) {
    u32(static_cast<uint32_t>(value.size()));
    put(value.data(), value.size() * sizeof(char16_t));
    return *this;
}

WireWriter& WireWriter::number(const DiallingNumber& value) {
    return text(value.digits()).u32(value.type());
}

WireWriter& WireWriter::entry(const PhonebookEntry& value) {
    text(value.name).number(value.number);
    u32(value.additional_number ? 1 : 0);
    if (value.additional_number) {
        number(*value.additional_number);
    }
    u32(value.email ? 1 : 0);
    if (value.email) {
        text(*value.email);
    }
    return *this;
}

WireWriter& WireWriter::profile(const CardProfile& value) {
    const ExtendedCapabilities& extended = value.extended;
    for (const int field :
         {value.slots, value.name_bytes, value.number_digits, extended.additional_number_digits,
          extended.email_bytes, extended.additional_number_count, extended.email_count}) {
        u32(static_cast<uint32_t>(field));
    }
    return u32(value.storages).u32(value.lock_facilities);
}

WireWriter& WireWriter::change(const CardChange& value) {
    return i64(value.sequence).u32(value.code).u32(static_cast<uint32_t>(value.slot));
}

bool WireReader::take(void* data, size_t size) {
    if (m_failed || m_bytes.size() - m_offset < size) {
        m_failed = true;
        std::memset(data, 0, size);
        return false;
    }
    std::memcpy(data, m_bytes.data() + m_offset, size);
    m_offset += size;
    return true;
}

uint32_t WireReader::u32() {
    uint32_t value = 0;
    take(&value, sizeof value);
    return value;
}

int64_t WireReader::i64() {
    int64_t value = 0;
    take(&value, sizeof value);
    return value;
}

std::u16string WireReader::text() {
    const uint32_t length = u32();
    if (m_failed || length > (m_bytes.size() - m_offset) / sizeof(char16_t)) {
        m_failed = true;
        return {};
    }
    std::u16string value(length, u'\0');
    take(value.data(), length * sizeof(char16_t));
    return value;
}

DiallingNumber WireReader::number() {
    std::u16string digits = text();
    const uint32_t type = u32();
    if (type > 0xFF) {
        m_failed = true;
    }
    return DiallingNumber(std::move(digits), static_cast<uint8_t>(type));
}

PhonebookEntry WireReader::entry() {
    PhonebookEntry value;
    value.name = text();
    value.number = number();
    if (u32() != 0) {
        value.additional_number = number();
    }
    if (u32() != 0) {
        value.email = text();
    }
    return value;
}

CardProfile WireReader::profile() {
    CardProfile value;
    ExtendedCapabilities& extended = value.extended;
    for (int* field :
         {&value.slots, &value.name_bytes, &value.number_digits, &extended.additional_number_digits,
          &extended.email_bytes, &extended.additional_number_count, &extended.email_count}) {
        *field = static_cast<int>(u32());
    }
    value.storages = u32();
    value.lock_facilities = u32();
    return value;
}

CardChange WireReader::change() {
    CardChange value{};
    value.sequence = i64();
    value.code = u32();
    value.slot = static_cast<int>(u32());
    return value;
}

bool send_frame(int socket, const std::vector<uint8_t>& body, std::chrono::milliseconds timeout) {
    const SocketDeadline deadline = std::chrono::steady_clock::now() + timeout;
    const auto length = static_cast<uint32_t>(body.size());
    return body.size() <= max_frame_bytes && send_fully(socket, &length, sizeof length, deadline) &&
           send_fully(socket, body.data(), body.size(), deadline);
}

std::optional<std::vector<uint8_t>> receive_frame(int socket, std::chrono::milliseconds timeout) {
    const SocketDeadline deadline = std::chrono::steady_clock::now() + timeout;
    uint32_t length = 0;
    if (!receive_fully(socket, &length, sizeof length, deadline) || length > max_frame_bytes) {
        return std::nullopt;
    }
    std::vector<uint8_t> body(length);
    if (!receive_fully(socket, body.data(), body.size(), deadline)) {
        return std::nullopt;
    }
    return body;
}

std::optional<std::filesystem::path> card_service_socket(const std::filesystem::path& device) {
    const std::optional<std::filesystem::path> folder = peer_folder(device);
    if (!folder) {
        return std::nullopt;
    }
    return *folder / "card.service";
}

} // namespace handset
