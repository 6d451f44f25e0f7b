// The SIM channel's part of the exchange: following the card's "more data" answers, and what
// each status word means to the SIM library.
#include "fake_sim_card.h"

#include "cellcore/sim_channel.h"

#include <simmgr.h>

#include <gtest/gtest.h>

#include <deque>

namespace {

using handset::ApduResponse;
using handset::Bytes;
using handset::ByteView;
using handset::card_status_result;
using handset::CardClass;
using handset::SimChannel;

// Answers from a script and keeps what was sent.
class ScriptedCard final : public handset::ApduTransport {
  public:
    explicit ScriptedCard(std::deque<ApduResponse> answers) : m_answers(std::move(answers)) {}

    std::optional<ApduResponse> transmit(ByteView command) override {
        sent.emplace_back(command);
        if (m_answers.empty()) {
            return std::nullopt;
        }
        ApduResponse answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    bool card_present() override { return true; }
    bool reconnect() override { return true; }

    std::vector<Bytes> sent;

  private:
    std::deque<ApduResponse> m_answers;
};

TEST(SimChannelTest, FollowsMoreDataAnswersWithGetResponseInTheCardsClass) {
    ScriptedCard card({{{}, 0x6105}, {{0x01, 0x02, 0x03}, 0x6102}, {{0x04, 0x05}, 0x9000}});
    SimChannel channel(card, CardClass::uicc);
    Bytes data;
    ASSERT_EQ(channel.read_binary(5, data), S_OK);
    EXPECT_EQ(data, (Bytes{1, 2, 3, 4, 5})) << "the pieces joined";
    ASSERT_EQ(card.sent.size(), 3u);
    EXPECT_EQ(card.sent[1], (Bytes{0x00, 0xC0, 0x00, 0x00, 0x05}));
    EXPECT_EQ(card.sent[2], (Bytes{0x00, 0xC0, 0x00, 0x00, 0x02}));
}

TEST(SimChannelTest, ResendsACommandWithTheLengthTheCardAskedFor) {
    FakeSimCard card(FakeSimCard::Kind::usim, 5, 14);
    card.pin_enabled = false;
    card.reconnect();
    SimChannel channel(card, CardClass::uicc);
    handset::FileInfo info;
    ASSERT_EQ(channel.select({0x7F10, 0x5F3A, 0x4F3A}, info), S_OK);
    EXPECT_EQ(info.record_length, 28);
    Bytes record;
    ASSERT_EQ(channel.read_record(1, 0, record), S_OK) << "6C 1C, then again with Le 1C";
    EXPECT_EQ(record.size(), 28u);
}

TEST(SimChannelTest, A2gSimsResponseFollowsItsSelect) {
    ScriptedCard card(
        {{{}, 0x9F0F},
         {{0, 0, 0x00, 0x1C, 0x6F, 0x3A, 0x04, 0, 0, 0, 0, 0, 2, 0x01, 0x1C}, 0x9000}});
    SimChannel channel(card, CardClass::gsm);
    handset::FileInfo info;
    card.sent.clear();
    ASSERT_EQ(channel.select({}, info), S_OK);
    EXPECT_EQ(card.sent[0], (Bytes{0xA0, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00}));
    EXPECT_EQ(card.sent[1], (Bytes{0xA0, 0xC0, 0x00, 0x00, 0x0F}));
    EXPECT_EQ(info.structure, handset::FileStructure::linear_fixed);
    EXPECT_EQ(info.record_count, 1);
}

TEST(SimChannelTest, NoAnswerMeansTheCardIsNotThere) {
    ScriptedCard card({});
    SimChannel channel(card, CardClass::gsm);
    Bytes data;
    EXPECT_EQ(channel.read_record(1, 28, data), SIM_E_SIMNOTINSERTED);
    EXPECT_EQ(channel.verify(std::nullopt).result, SIM_E_SIMNOTINSERTED);
}

TEST(SimChannelTest, StatusWordsOfBothClassesMapOntoTheSimLibrarysResults) {
    const std::pair<uint16_t, HRESULT> table[] = {
        {0x9000, S_OK},
        {0x9100, S_OK},
        {0x9404, SIM_E_NOTFOUND},
        {0x6A82, SIM_E_NOTFOUND},
        {0x9402, SIM_E_INVALIDINDEX},
        {0x6A83, SIM_E_INVALIDINDEX},
        {0x9804, SIM_E_SIMPINREQUIRED},
        {0x6982, SIM_E_SIMPINREQUIRED},
        {0x9840, SIM_E_SIMPUKREQUIRED},
        {0x6983, SIM_E_SIMPUKREQUIRED},
        {0x63C2, SIM_E_INCORRECTPASSWORD},
        {0x6581, SIM_E_MEMORYFAILURE},
        {0x6E00, SIM_E_UNSUPPORTED},
        {0x6D00, SIM_E_UNSUPPORTED},
        {0x6700, SIM_E_MOBILEERROR},
        {0x6B00, SIM_E_MOBILEERROR},
    };
    for (const auto& [status, result] : table) {
        EXPECT_EQ(card_status_result(status), result) << std::hex << status;
    }
}

TEST(SimChannelTest, AWrongPinReportsTheTriesLeftAndABlockedOneNone) {
    ScriptedCard card({{{}, 0x63C2}, {{}, 0x6983}, {{}, 0x9804}});
    SimChannel channel(card, CardClass::uicc);
    const Bytes pin(8, 0x31);
    const handset::PinAnswer wrong = channel.verify(ByteView(pin));
    EXPECT_EQ(wrong.result, SIM_E_INCORRECTPASSWORD);
    EXPECT_EQ(wrong.tries_left, 2);
    const handset::PinAnswer blocked = channel.verify(ByteView(pin));
    EXPECT_EQ(blocked.result, SIM_E_SIMPUKREQUIRED);
    EXPECT_EQ(blocked.tries_left, 0);
    EXPECT_EQ(channel.verify(ByteView(pin)).result, SIM_E_INCORRECTPASSWORD) << "a 2G SIM's word";
    EXPECT_EQ(card.sent[0], (Bytes{0x00, 0x20, 0x00, 0x01, 0x08} + pin));
}

} // namespace
