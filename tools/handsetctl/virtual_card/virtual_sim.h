// The emulated card as a smart card: it answers the reader's commands over the card's files, as a
// 2G SIM (class A0) when the card's profile keeps no extended fields, and as a UICC with a USIM
// (class 00, and class A0 for the 2G view) when it does. A command's answer follows the card as
// it is when the command arrives: the link calls follow_card() between commands.
//
// Selection state: the current DF (the MF after a reset) and the current EF (none after a reset
// or a DF's selection). A SELECT's response waits for GET RESPONSE until the next command.
#pragma once

#include "apdu.h"
#include "sim_file_tree.h"
#include "sim_pin.h"
#include "sim_records.h"

#include <optional>
#include <string_view>

namespace handsetctl {

class VirtualSim {
  public:
    VirtualSim(handset::CardFile& card, std::string_view pin);

    // Reads the card's changes; whether the card is in the reader.
    bool follow_card();
    static const handset::Bytes& atr();
    // A power cycle or reset: a new card session.
    void reset();
    // The answer to a command's bytes: response data and status word.
    handset::Bytes respond(handset::ByteView command);

  private:
    enum class Status {
        ok,
        file_not_found,
        record_not_found,
        security_not_satisfied,
        pin_blocked,
        pin_disabled,
        wrong_file_type,
        wrong_data,
        wrong_length,
        wrong_p1p2,
        wrong_ins,
        wrong_cla,
        no_current_ef,
        nothing_to_get,
    };

    CardReply answer(const Apdu& apdu);
    CardReply dispatch(const Apdu& apdu);
    CardReply select(const Apdu& apdu);
    std::optional<int> find(const Apdu& apdu) const;
    CardReply selected(int index, uint8_t p2);
    CardReply read_record(const Apdu& apdu);
    CardReply update_record(const Apdu& apdu);
    CardReply read_binary(const Apdu& apdu);
    CardReply update_binary(const Apdu& apdu);
    CardReply get_response(const Apdu& apdu);
    CardReply status(const Apdu& apdu);
    CardReply verify(const Apdu& apdu);
    CardReply pin_state() const;

    // The current EF when it has this kind; the refusal otherwise.
    std::optional<CardReply> check_current(FileKind kind) const;
    CardReply check_record(const Apdu& apdu, bool writing);
    CardReply sized(const Apdu& apdu, handset::Bytes data) const;
    // An answer of a status word alone.
    CardReply reply(Status status) const { return {{}, word(status)}; }
    uint16_t word(Status status) const;
    struct StatusWords {
        uint16_t gsm;
        uint16_t uicc;
    };
    static StatusWords words_of(Status status);
    handset::Bytes gsm_response(int index) const;
    handset::Bytes fcp(const SimFile& file) const;

    SimRecords m_records;
    SimPin m_pin;
    std::optional<SimFileTree> m_tree;
    int m_folder = SimFileTree::master;
    std::optional<int> m_file;
    handset::Bytes m_pending;
    // Whether the command being answered is a 2G one (class A0).
    bool m_gsm = true;
};

} // namespace handsetctl
