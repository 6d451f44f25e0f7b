#include "cellcore/ber_tlv.h"

namespace handset {

namespace {

constexpr uint8_t padding = 0xFF;
constexpr uint8_t long_tag = 0x1F;

class TlvCursor {
  public:
    explicit TlvCursor(ByteView bytes) : m_bytes(bytes) {}

    bool at_end() const { return m_offset >= m_bytes.size() || m_bytes[m_offset] == padding; }

    std::optional<Tlv> next() {
        const std::optional<uint16_t> tag = read_tag();
        const std::optional<size_t> length = tag ? read_length() : std::nullopt;
        if (!length || *length > m_bytes.size() - m_offset) {
            return std::nullopt;
        }
        const Tlv object{*tag, m_bytes.substr(m_offset, *length)};
        m_offset += *length;
        return object;
    }

  private:
    std::optional<uint8_t> byte() {
        if (m_offset >= m_bytes.size()) {
            return std::nullopt;
        }
        return m_bytes[m_offset++];
    }

    std::optional<uint16_t> read_tag() {
        const std::optional<uint8_t> first = byte();
        if (!first || (*first & long_tag) != long_tag) {
            return first;
        }
        const std::optional<uint8_t> second = byte();
        if (!second) {
            return std::nullopt;
        }
        return static_cast<uint16_t>(*first << 8 | *second);
    }

    std::optional<size_t> read_length() {
        const std::optional<uint8_t> first = byte();
        if (!first || *first < 0x80) {
            return first;
        }
        const int count = *first - 0x80;
        if (count < 1 || count > 2) {
            return std::nullopt;
        }
        size_t length = 0;
        for (int i = 0; i < count; ++i) {
            const std::optional<uint8_t> next = byte();
            if (!next) {
                return std::nullopt;
            }
            length = length << 8 | *next;
        }
        return length;
    }

    ByteView m_bytes;
    size_t m_offset = 0;
};

} // namespace

std::optional<std::vector<Tlv>> parse_tlvs(ByteView bytes) {
    TlvCursor cursor(bytes);
    std::vector<Tlv> objects;
    while (!cursor.at_end()) {
        const std::optional<Tlv> object = cursor.next();
        if (!object) {
            return std::nullopt;
        }
        objects.push_back(*object);
    }
    return objects;
}

std::optional<ByteView> find_tlv(const std::vector<Tlv>& objects, uint16_t tag) {
    for (const Tlv& object : objects) {
        if (object.tag == tag) {
            return object.value;
        }
    }
    return std::nullopt;
}

} // namespace handset
