// The commands the reader driver sends to a SIM over an APDU transport: SELECT, READ and UPDATE
// RECORD, READ BINARY and VERIFY, in the class of a 2G SIM (A0, 3GPP TS 51.011) or of a UICC
// (00, ETSI TS 102 221). The card's "more data" answers are followed here: 61 xx and 9F xx
// with GET RESPONSE, 6C xx by sending the command again with the length the card asked for.
//
// Every operation answers with the SIM library's result codes; a card that gave no answer at all
// (removed, reset, reader gone) is SIM_E_SIMNOTINSERTED.
#pragma once

#include "cellcore/apdu_transport.h"
#include "cellcore/file_control.h"

#include <windef.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace handset {

enum class CardClass : uint8_t { gsm = 0xA0, uicc = 0x00 };

using FilePath = std::vector<uint16_t>;

// The SIM library's result for a status word.
HRESULT card_status_result(uint16_t status);

// What the card says of PIN1: verified (or disabled), tries left before it blocks, or blocked.
struct PinAnswer {
    HRESULT result = S_OK; // S_OK, SIM_E_INCORRECTPASSWORD or SIM_E_SIMPUKREQUIRED
    int tries_left = -1;   // -1 when the card did not say
};

class SimChannel {
  public:
    SimChannel(ApduTransport& transport, CardClass card_class)
        : m_transport(transport), m_class(card_class) {}

    CardClass card_class() const { return m_class; }

    // Selects a file by its path from the MF (the MF itself is the empty path), and reads its
    // description.
    HRESULT select(const FilePath& path, FileInfo& info);
    // Selects an application by its identifier (UICC only).
    HRESULT select_application(ByteView aid, FileInfo& info);
    HRESULT read_record(int record, int length, Bytes& data);
    HRESULT update_record(int record, ByteView data);
    HRESULT read_binary(int length, Bytes& data);
    // VERIFY of PIN1 with the PIN's digits padded to eight bytes; with no digits, the UICC's
    // question of how PIN1 stands.
    PinAnswer verify(std::optional<ByteView> padded_pin);

  private:
    std::optional<ApduResponse> exchange(uint8_t instruction, uint8_t p1, uint8_t p2, ByteView data,
                                         std::optional<uint8_t> expected);
    std::optional<ApduResponse> send(const Bytes& command);
    HRESULT describe(const std::optional<ApduResponse>& answer, FileInfo& info);
    HRESULT select_gsm(const FilePath& path, FileInfo& info);

    ApduTransport& m_transport;
    CardClass m_class;
};

} // namespace handset
