#include "cellcore/file_control.h"

#include "cellcore/ber_tlv.h"

namespace handset {

namespace {

constexpr uint16_t fcp_tag = 0x62;
constexpr uint16_t descriptor_tag = 0x82;
constexpr uint16_t size_tag = 0x80;
constexpr uint16_t pin_template_tag = 0xC6;
constexpr uint16_t pin_status_tag = 0x90;
constexpr uint16_t key_reference_tag = 0x83;
constexpr uint8_t pin1_reference = 0x01;

int big_endian(ByteView bytes) {
    int value = 0;
    for (uint8_t byte : bytes) {
        value = value << 8 | byte;
    }
    return value;
}

std::optional<FileStructure> structure_of(uint8_t descriptor) {
    if ((descriptor & 0x38) == 0x38) {
        return FileStructure::directory;
    }
    switch (descriptor & 0x07) {
    case 0x01:
        return FileStructure::transparent;
    case 0x02:
        return FileStructure::linear_fixed;
    case 0x06:
        return FileStructure::cyclic;
    default:
        return std::nullopt;
    }
}

// The PS_DO bits stand for the key references in the order they are listed, the first at b8.
std::optional<bool> pin1_enabled(ByteView pin_template) {
    const std::optional<std::vector<Tlv>> objects = parse_tlvs(pin_template);
    const std::optional<ByteView> status =
        objects ? find_tlv(*objects, pin_status_tag) : std::nullopt;
    if (!status || status->empty()) {
        return std::nullopt;
    }
    int position = 0;
    for (const Tlv& object : *objects) {
        if (object.tag != key_reference_tag || object.value.size() != 1) {
            continue;
        }
        if (object.value[0] == pin1_reference) {
            return position < 8 && ((*status)[0] & (0x80 >> position)) != 0;
        }
        ++position;
    }
    return std::nullopt;
}

} // namespace

std::optional<FileInfo> parse_fcp(ByteView template_bytes) {
    const std::optional<std::vector<Tlv>> outer = parse_tlvs(template_bytes);
    const std::optional<ByteView> body = outer ? find_tlv(*outer, fcp_tag) : std::nullopt;
    const std::optional<std::vector<Tlv>> objects = body ? parse_tlvs(*body) : std::nullopt;
    const std::optional<ByteView> descriptor =
        objects ? find_tlv(*objects, descriptor_tag) : std::nullopt;
    if (!descriptor || descriptor->empty()) {
        return std::nullopt;
    }
    const std::optional<FileStructure> structure = structure_of((*descriptor)[0]);
    if (!structure) {
        return std::nullopt;
    }
    FileInfo info;
    info.structure = *structure;
    if (descriptor->size() >= 5) {
        info.record_length = big_endian(descriptor->substr(2, 2));
        info.record_count = (*descriptor)[4];
    }
    if (const std::optional<ByteView> size = find_tlv(*objects, size_tag)) {
        info.size = big_endian(*size);
    }
    if (const std::optional<ByteView> pins = find_tlv(*objects, pin_template_tag)) {
        info.pin_enabled = pin1_enabled(*pins);
    }
    return info;
}

std::optional<FileInfo> parse_gsm_response(ByteView response) {
    constexpr size_t type_offset = 6;
    constexpr size_t ef_length = 15;
    constexpr size_t df_length = 19;
    if (response.size() <= type_offset) {
        return std::nullopt;
    }
    FileInfo info;
    info.size = big_endian(response.substr(2, 2));
    const uint8_t type = response[type_offset];
    if (type == 0x01 || type == 0x02) {
        if (response.size() < df_length) {
            return std::nullopt;
        }
        info.structure = FileStructure::directory;
        info.size = 0;
        info.pin_enabled = (response[13] & 0x80) == 0;
        info.pin_tries = response[18] & 0x0F;
        return info;
    }
    if (type != 0x04 || response.size() < ef_length) {
        return std::nullopt;
    }
    const std::optional<FileStructure> structure =
        response[13] == 0x00   ? std::optional(FileStructure::transparent)
        : response[13] == 0x01 ? std::optional(FileStructure::linear_fixed)
        : response[13] == 0x03 ? std::optional(FileStructure::cyclic)
                               : std::nullopt;
    if (!structure) {
        return std::nullopt;
    }
    info.structure = *structure;
    if (*structure != FileStructure::transparent && response[14] > 0) {
        info.record_length = response[14];
        info.record_count = info.size / info.record_length;
    }
    return info;
}

} // namespace handset
