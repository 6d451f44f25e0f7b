#include "cellcore/sim_channel.h"

#include <simmgr.h>

namespace handset {

namespace {

constexpr uint8_t ins_select = 0xA4;
constexpr uint8_t ins_get_response = 0xC0;
constexpr uint8_t ins_read_record = 0xB2;
constexpr uint8_t ins_update_record = 0xDC;
constexpr uint8_t ins_read_binary = 0xB0;
constexpr uint8_t ins_verify = 0x20;
constexpr uint8_t absolute_record = 0x04;
constexpr uint8_t pin1 = 0x01;
constexpr uint16_t master_file = 0x3F00;
// A card that keeps asking for more data is confused; this bounds the exchange.
constexpr int most_follow_ups = 8;

Bytes file_id_bytes(uint16_t id) {
    return Bytes{static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id & 0xFF)};
}

} // namespace

HRESULT card_status_result(uint16_t status) {
    const uint8_t sw1 = static_cast<uint8_t>(status >> 8);
    if (status == 0x9000 || sw1 == 0x91) {
        return S_OK;
    }
    if (sw1 == 0x63) {
        return SIM_E_INCORRECTPASSWORD;
    }
    switch (status) {
    case 0x9404:
    case 0x6A82:
        return SIM_E_NOTFOUND;
    case 0x9402:
    case 0x6A83:
        return SIM_E_INVALIDINDEX;
    case 0x9804:
    case 0x6982:
        return SIM_E_SIMPINREQUIRED;
    case 0x9840:
    case 0x6983:
        return SIM_E_SIMPUKREQUIRED;
    case 0x9240:
    case 0x6581:
        return SIM_E_MEMORYFAILURE;
    case 0x6D00:
    case 0x6E00:
        return SIM_E_UNSUPPORTED;
    default:
        // Wrong lengths and parameters are this driver's mistakes, not the card's state: the
        // card refused without a reason the SIM library has a name for.
        return SIM_E_MOBILEERROR;
    }
}

std::optional<ApduResponse> SimChannel::send(const Bytes& command) {
    return m_transport.transmit(command);
}

std::optional<ApduResponse> SimChannel::exchange(uint8_t instruction, uint8_t p1, uint8_t p2,
                                                 ByteView data, std::optional<uint8_t> expected) {
    const uint8_t cla = static_cast<uint8_t>(m_class);
    Bytes command{cla, instruction, p1, p2};
    if (!data.empty()) {
        command.push_back(static_cast<uint8_t>(data.size()));
        command += data;
    }
    if (expected) {
        command.push_back(*expected);
    }
    std::optional<ApduResponse> answer = send(command);
    Bytes collected;
    for (int round = 0; answer && round < most_follow_ups; ++round) {
        if (answer->sw1() == 0x6C && expected) {
            command.back() = answer->sw2();
            answer = send(command);
        } else if (answer->sw1() == 0x61 || answer->sw1() == 0x9F) {
            collected += answer->data;
            answer = send(Bytes{cla, ins_get_response, 0, 0, answer->sw2()});
        } else {
            break;
        }
    }
    if (answer) {
        answer->data = collected + answer->data;
    }
    return answer;
}

HRESULT SimChannel::describe(const std::optional<ApduResponse>& answer, FileInfo& info) {
    if (!answer) {
        return SIM_E_SIMNOTINSERTED;
    }
    if (const HRESULT result = card_status_result(answer->status); result != S_OK) {
        return result;
    }
    const std::optional<FileInfo> parsed =
        m_class == CardClass::gsm ? parse_gsm_response(answer->data) : parse_fcp(answer->data);
    if (!parsed) {
        return SIM_E_MOBILEERROR;
    }
    info = *parsed;
    return S_OK;
}

// A 2G SIM selects one file id at a time, each relative to the one selected before.
HRESULT SimChannel::select_gsm(const FilePath& path, FileInfo& info) {
    HRESULT result = describe(exchange(ins_select, 0, 0, file_id_bytes(master_file), {}), info);
    for (size_t i = 0; result == S_OK && i < path.size(); ++i) {
        result = describe(exchange(ins_select, 0, 0, file_id_bytes(path[i]), {}), info);
    }
    return result;
}

HRESULT SimChannel::select(const FilePath& path, FileInfo& info) {
    if (m_class == CardClass::gsm) {
        return select_gsm(path, info);
    }
    constexpr uint8_t by_path = 0x08;
    constexpr uint8_t return_fcp = 0x04;
    if (path.empty()) {
        return describe(exchange(ins_select, 0, return_fcp, file_id_bytes(master_file), 0), info);
    }
    Bytes ids;
    for (uint16_t id : path) {
        ids += file_id_bytes(id);
    }
    return describe(exchange(ins_select, by_path, return_fcp, ids, 0), info);
}

HRESULT SimChannel::select_application(ByteView aid, FileInfo& info) {
    constexpr uint8_t by_name = 0x04;
    constexpr uint8_t return_fcp = 0x04;
    return describe(exchange(ins_select, by_name, return_fcp, aid, 0), info);
}

HRESULT SimChannel::read_record(int record, int length, Bytes& data) {
    const std::optional<ApduResponse> answer =
        exchange(ins_read_record, static_cast<uint8_t>(record), absolute_record, {},
                 static_cast<uint8_t>(length));
    if (!answer) {
        return SIM_E_SIMNOTINSERTED;
    }
    data = answer->data;
    return card_status_result(answer->status);
}

HRESULT SimChannel::update_record(int record, ByteView data) {
    const std::optional<ApduResponse> answer = exchange(
        ins_update_record, static_cast<uint8_t>(record), absolute_record, data, std::nullopt);
    return answer ? card_status_result(answer->status) : SIM_E_SIMNOTINSERTED;
}

HRESULT SimChannel::read_binary(int length, Bytes& data) {
    const std::optional<ApduResponse> answer =
        exchange(ins_read_binary, 0, 0, {}, static_cast<uint8_t>(length));
    if (!answer) {
        return SIM_E_SIMNOTINSERTED;
    }
    data = answer->data;
    return card_status_result(answer->status);
}

PinAnswer SimChannel::verify(std::optional<ByteView> padded_pin) {
    const std::optional<ApduResponse> answer =
        exchange(ins_verify, 0, pin1, padded_pin.value_or(ByteView{}), std::nullopt);
    if (!answer) {
        return {SIM_E_SIMNOTINSERTED, -1};
    }
    if (answer->sw1() == 0x63) {
        return {SIM_E_INCORRECTPASSWORD, answer->sw2() & 0x0F};
    }
    // A 2G SIM says only that the PIN was wrong; the tries left are in the directory's response.
    if (answer->status == 0x9804) {
        return {SIM_E_INCORRECTPASSWORD, -1};
    }
    const HRESULT result = card_status_result(answer->status);
    return {result, result == SIM_E_SIMPUKREQUIRED ? 0 : -1};
}

} // namespace handset
