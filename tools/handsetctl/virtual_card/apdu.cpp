#include "apdu.h"

namespace handsetctl {

namespace {

constexpr size_t header_size = 4;
constexpr size_t largest_le = 256;

size_t le_of(uint8_t byte) {
    return byte == 0 ? largest_le : byte;
}

} // namespace

std::optional<Apdu> parse_apdu(handset::ByteView bytes) {
    if (bytes.size() < header_size) {
        return std::nullopt;
    }
    Apdu apdu{bytes[0], bytes[1], bytes[2], bytes[3], {}, std::nullopt};
    const handset::ByteView body = bytes.substr(header_size);
    if (body.empty()) {
        return apdu;
    }
    if (body.size() == 1) {
        apdu.le = le_of(body[0]);
        return apdu;
    }
    // An Lc of 0 opens an extended length, which no file of the card needs.
    const size_t lc = body[0];
    if (lc == 0 || body.size() < 1 + lc || body.size() > 2 + lc) {
        return std::nullopt;
    }
    apdu.data = handset::Bytes(body.substr(1, lc));
    if (body.size() == 2 + lc) {
        apdu.le = le_of(body.back());
    }
    return apdu;
}

handset::Bytes CardReply::bytes() const {
    handset::Bytes all = data;
    all.push_back(static_cast<uint8_t>(status >> 8));
    all.push_back(static_cast<uint8_t>(status & 0xFF));
    return all;
}

} // namespace handsetctl
