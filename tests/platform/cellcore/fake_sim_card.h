// A SIM card in process, behind the APDU transport: the card model that the reader driver and the
// virtual card served to vpcd agree on, small enough to read. A 2G SIM answers class A0 only,
// with 9F xx and the fixed GET RESPONSE layout; a USIM answers class 00 with 61 xx and FCP
// templates, and has the global phonebook under DF_TELECOM (no local one under ADF_USIM).
//
// The test reaches into the files, the PIN state and the reader: `present`, `answers_left`
// (the card goes after that many more commands), `silent_once` (one command answered with
// nothing, as by a reset).
#pragma once

#include "cellcore/apdu_transport.h"
#include "cellcore/sim_channel.h"

#include <map>
#include <set>
#include <string>
#include <vector>

class FakeSimCard final : public handset::ApduTransport {
  public:
    enum class Kind { gsm, usim };
    struct File {
        int record_length = 0;
        std::vector<handset::Bytes> records;
        bool guarded = true; // PIN1 must be verified to read or update it
    };
    static constexpr int email_text_bytes = 20;

    // A 2G SIM with `slots` ADN records of name_bytes + 14, and EF_EXT1; or a USIM with `sets`
    // EF_PBR records of `slots` entries each, an EF_EMAIL of email_records records per set.
    FakeSimCard(Kind kind, int slots, int name_bytes, int sets = 1, int email_records = 3);

    std::optional<handset::ApduResponse> transmit(handset::ByteView command) override;
    bool card_present() override { return present; }
    bool reconnect() override;

    File& file(const handset::FilePath& path) { return m_files.at(path); }
    // The USIM's second numbers in an EF_ANR of their own size, reached through the first byte of
    // each EF_IAP record (type 2) as the e-mails are through the second.
    void link_second_numbers_through_iap(int anr_records);
    // The commands that carried a PIN.
    int pin_commands_sent() const { return m_pin_commands; }

    bool present = true;
    int answers_left = -1; // -1: never goes
    bool silent_once = false;
    bool pin_enabled = true;
    bool verified = false;
    int tries_left = 3;
    std::string pin = "0000";
    int sessions = 0;

  private:
    using Answer = handset::ApduResponse;
    Answer answer(handset::ByteView command);
    Answer select(uint8_t p1, handset::ByteView data);
    Answer select_path(const handset::FilePath& path);
    Answer select_id(uint16_t id);
    Answer describe();
    Answer read_record(int record, int length);
    Answer update_record(int record, handset::ByteView data);
    Answer verify(handset::ByteView data);
    uint16_t status(uint16_t gsm, uint16_t uicc) const { return m_kind == Kind::gsm ? gsm : uicc; }
    handset::Bytes gsm_response() const;
    handset::Bytes fcp() const;
    File* current_file();
    uint16_t refusal(const File* file, int record) const;

    Kind m_kind;
    std::map<handset::FilePath, File> m_files;
    std::set<handset::FilePath> m_directories;
    handset::FilePath m_current;
    handset::Bytes m_pending;
    int m_pin_commands = 0;
};
