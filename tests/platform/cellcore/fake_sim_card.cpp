#include "fake_sim_card.h"

using handset::Bytes;
using handset::ByteView;
using handset::FilePath;

namespace {

constexpr uint16_t master_file = 0x3F00;
constexpr uint16_t df_telecom = 0x7F10;
constexpr uint16_t df_phonebook = 0x5F3A;
constexpr uint16_t adf_usim = 0x7FFF;
constexpr uint8_t usim_aid[] = {0xA0, 0x00, 0x00, 0x00, 0x87, 0x10, 0x02, 0xFF,
                                0xFF, 0xFF, 0xFF, 0x89, 0x06, 0x01, 0x00, 0x00};

Bytes two(uint16_t value) {
    return Bytes{static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xFF)};
}

Bytes object(uint8_t tag, const Bytes& value) {
    return Bytes{tag, static_cast<uint8_t>(value.size())} + value;
}

FakeSimCard::File records(int length, int count, bool guarded = true) {
    return {
        length,
        std::vector<Bytes>(static_cast<size_t>(count), Bytes(static_cast<size_t>(length), 0xFF)),
        guarded};
}

Bytes padded(const Bytes& bytes, int length) {
    Bytes field(static_cast<size_t>(length), 0xFF);
    std::copy(bytes.begin(), bytes.begin() + std::min<std::ptrdiff_t>(bytes.size(), length),
              field.begin());
    return field;
}

Bytes reference_record(uint16_t offset) {
    const Bytes type1 =
        object(0xC0, two(0x4F3A + offset) + Bytes{static_cast<uint8_t>(1 + offset)}) +
        object(0xC1, two(0x4F25 + offset)) + object(0xC4, two(0x4F11 + offset));
    return padded(object(0xA8, type1) + object(0xA9, object(0xCA, two(0x4F50 + offset))), 40);
}

} // namespace

FakeSimCard::FakeSimCard(Kind kind, int slots, int name_bytes, int sets, int email_records)
    : m_kind(kind) {
    const int adn_length = name_bytes + 14;
    m_directories = {{}, {df_telecom}};
    if (kind == Kind::gsm) {
        m_files[{df_telecom, 0x6F3A}] = records(adn_length, slots);
        m_files[{df_telecom, 0x6F4A}] = records(13, 4);
        return;
    }
    const FilePath phonebook{df_telecom, df_phonebook};
    m_directories.insert(phonebook);
    m_directories.insert({adf_usim});
    const Bytes application =
        object(0x4F, Bytes(usim_aid, sizeof usim_aid)) + object(0x50, Bytes{'U', 'S', 'I', 'M'});
    m_files[{0x2F00}] = {32, {padded(object(0x61, application), 32)}, false};
    File reference{40, {}, false};
    for (int set = 0; set < sets; ++set) {
        const auto offset = static_cast<uint16_t>(set);
        reference.records.push_back(reference_record(offset));
        m_files[{df_telecom, df_phonebook, static_cast<uint16_t>(0x4F3A + offset)}] =
            records(adn_length, slots);
        m_files[{df_telecom, df_phonebook, static_cast<uint16_t>(0x4F25 + offset)}] =
            records(1, slots);
        m_files[{df_telecom, df_phonebook, static_cast<uint16_t>(0x4F11 + offset)}] =
            records(15, slots);
        m_files[{df_telecom, df_phonebook, static_cast<uint16_t>(0x4F50 + offset)}] =
            records(email_text_bytes + 2, email_records);
    }
    m_files[{df_telecom, df_phonebook, 0x4F30}] = reference;
}

void FakeSimCard::link_second_numbers_through_iap(int anr_records) {
    const FilePath phonebook{df_telecom, df_phonebook};
    const Bytes type1 = object(0xC0, two(0x4F3A) + Bytes{1}) + object(0xC1, two(0x4F25));
    const Bytes type2 = object(0xC4, two(0x4F11)) + object(0xCA, two(0x4F50));
    m_files.at({df_telecom, df_phonebook, 0x4F30}).records[0] =
        padded(object(0xA8, type1) + object(0xA9, type2), 40);
    const int slots =
        static_cast<int>(m_files.at({df_telecom, df_phonebook, 0x4F3A}).records.size());
    m_files[{df_telecom, df_phonebook, 0x4F25}] = records(2, slots);
    m_files[{df_telecom, df_phonebook, 0x4F11}] = records(17, anr_records);
}

bool FakeSimCard::reconnect() {
    if (!present) {
        return false;
    }
    ++sessions;
    verified = false;
    m_current.clear();
    m_pending.clear();
    return true;
}

std::optional<handset::ApduResponse> FakeSimCard::transmit(ByteView command) {
    if (answers_left == 0) {
        present = false;
    }
    if (!present || std::exchange(silent_once, false)) {
        return std::nullopt;
    }
    if (answers_left > 0) {
        --answers_left;
    }
    return answer(command);
}

FakeSimCard::Answer FakeSimCard::answer(ByteView command) {
    const uint8_t cla = command[0];
    if (cla != (m_kind == Kind::gsm ? 0xA0 : 0x00)) {
        return {{}, 0x6E00};
    }
    const uint8_t ins = command[1];
    const ByteView data = command.size() > 5 ? command.substr(5, command[4]) : ByteView{};
    const int p1 = command[2];
    const int expected = command.size() == 5 ? command[4] : 0;
    switch (ins) {
    case 0xA4:
        return select(command[2], data);
    case 0xC0: {
        Bytes pending = std::exchange(m_pending, {});
        pending.resize(std::min(pending.size(), static_cast<size_t>(expected)));
        return {pending, 0x9000};
    }
    case 0xB2:
        return read_record(p1, expected);
    case 0xDC:
        return update_record(p1, data);
    case 0x20:
        return verify(data);
    default:
        return {{}, 0x6D00};
    }
}

FakeSimCard::Answer FakeSimCard::select(uint8_t p1, ByteView data) {
    if (p1 == 0x04) {
        const bool usim = data == ByteView(usim_aid, sizeof usim_aid);
        return usim ? select_path({adf_usim}) : Answer{{}, 0x6A82};
    }
    if (p1 == 0x08) {
        FilePath path;
        for (size_t i = 0; i + 1 < data.size(); i += 2) {
            path.push_back(static_cast<uint16_t>(data[i] << 8 | data[i + 1]));
        }
        return select_path(path);
    }
    return select_id(static_cast<uint16_t>(data[0] << 8 | data[1]));
}

// Relative to the current directory, as a 2G SIM selects.
FakeSimCard::Answer FakeSimCard::select_id(uint16_t id) {
    if (id == master_file) {
        return select_path({});
    }
    FilePath directory = m_current;
    if (!m_directories.contains(directory)) {
        directory.pop_back();
    }
    directory.push_back(id);
    return select_path(directory);
}

FakeSimCard::Answer FakeSimCard::select_path(const FilePath& path) {
    if (!m_directories.contains(path) && !m_files.contains(path)) {
        return {{}, status(0x9404, 0x6A82)};
    }
    m_current = path;
    return describe();
}

FakeSimCard::Answer FakeSimCard::describe() {
    m_pending = m_kind == Kind::gsm ? gsm_response() : fcp();
    return {{}, static_cast<uint16_t>((m_kind == Kind::gsm ? 0x9F00 : 0x6100) | m_pending.size())};
}

Bytes FakeSimCard::gsm_response() const {
    const uint16_t id = m_current.empty() ? master_file : m_current.back();
    if (const auto found = m_files.find(m_current); found != m_files.end()) {
        const File& file = found->second;
        const auto size = static_cast<uint16_t>(file.record_length * file.records.size());
        return Bytes{0, 0} + two(size) + two(id) +
               Bytes{0x04, 0, 0, 0, 0, 0, 2, 0x01, static_cast<uint8_t>(file.record_length)};
    }
    Bytes response(22, 0);
    response[4] = static_cast<uint8_t>(id >> 8);
    response[5] = static_cast<uint8_t>(id & 0xFF);
    response[6] = m_current.empty() ? 0x01 : 0x02;
    response[12] = 9;
    response[13] = pin_enabled ? 0x00 : 0x80;
    response[18] = static_cast<uint8_t>(0x80 | tries_left);
    return response;
}

Bytes FakeSimCard::fcp() const {
    const uint16_t id = m_current.empty() ? master_file : m_current.back();
    if (const auto found = m_files.find(m_current); found != m_files.end()) {
        const File& file = found->second;
        const auto count = static_cast<uint8_t>(file.records.size());
        const auto length = static_cast<uint16_t>(file.record_length);
        return object(0x62, object(0x82, Bytes{0x02, 0x21} + two(length) + Bytes{count}) +
                                object(0x83, two(id)) + object(0x80, two(length * count)));
    }
    const Bytes pins = object(0x90, Bytes{static_cast<uint8_t>(pin_enabled ? 0x80 : 0x00)}) +
                       object(0x95, Bytes{0x08}) + object(0x83, Bytes{0x01});
    return object(0x62,
                  object(0x82, Bytes{0x78, 0x21}) + object(0x83, two(id)) + object(0xC6, pins));
}

FakeSimCard::File* FakeSimCard::current_file() {
    const auto found = m_files.find(m_current);
    return found == m_files.end() ? nullptr : &found->second;
}

// The status word that refuses access to a record; 0 when there is none.
uint16_t FakeSimCard::refusal(const File* file, int record) const {
    if (!file) {
        return status(0x9400, 0x6986);
    }
    if (record < 1 || record > static_cast<int>(file->records.size())) {
        return status(0x9402, 0x6A83);
    }
    if (file->guarded && pin_enabled && !verified) {
        return status(0x9804, 0x6982);
    }
    return 0;
}

FakeSimCard::Answer FakeSimCard::read_record(int record, int length) {
    File* file = current_file();
    if (const uint16_t refused = refusal(file, record); refused != 0) {
        return {{}, refused};
    }
    if (length != file->record_length) {
        return {{}, static_cast<uint16_t>(status(0x6700, 0x6C00) | file->record_length)};
    }
    return {file->records[static_cast<size_t>(record - 1)], 0x9000};
}

FakeSimCard::Answer FakeSimCard::update_record(int record, ByteView data) {
    File* file = current_file();
    if (const uint16_t refused = refusal(file, record); refused != 0) {
        return {{}, refused};
    }
    if (static_cast<int>(data.size()) != file->record_length) {
        return {{}, 0x6700};
    }
    file->records[static_cast<size_t>(record - 1)] = Bytes(data);
    return {{}, 0x9000};
}

FakeSimCard::Answer FakeSimCard::verify(ByteView data) {
    const uint16_t blocked = status(0x9840, 0x6983);
    if (data.empty()) {
        if (!pin_enabled || verified) {
            return {{}, 0x9000};
        }
        return {{}, tries_left == 0 ? blocked : static_cast<uint16_t>(0x63C0 | tries_left)};
    }
    ++m_pin_commands;
    if (tries_left == 0) {
        return {{}, blocked};
    }
    if (data == padded(Bytes(pin.begin(), pin.end()), 8)) {
        verified = true;
        tries_left = 3;
        return {{}, 0x9000};
    }
    if (--tries_left == 0) {
        return {{}, blocked};
    }
    return {{}, status(0x9804, static_cast<uint16_t>(0x63C0 | tries_left))};
}
