// One card shared through the device's card service: every handle gets the driver's own answers,
// every notified handle hears of every change made through the service, and a service that goes
// away makes calls fail instead of hang.
#include "card_test_support.h"
#include "fake_sim_card.h"
#include "notification_recorder.h"

#include "cellcore/card_backend.h"
#include "cellcore/card_service.h"
#include "cellcore/emulated_card.h"
#include "cellcore/reader_card.h"
#include "cellcore/service_card.h"

#include <simmgr.h>

#include <gmock/gmock.h>

#include <thread>

namespace {

using namespace std::chrono_literals;
using handset::CardService;
using ::testing::ElementsAre;

// The emulated card as a modem's driver behaves: it reports only what the card does on its own
// (the radio switched off), not the changes made through it, which the service announces itself.
class ServedCard final : public handset::EmulatedCard {
  public:
    using EmulatedCard::EmulatedCard;
    std::unique_ptr<handset::ChangeFeed> open_change_feed() override {
        class NothingOnItsOwn final : public handset::ChangeFeed {
            std::vector<handset::CardChange> poll() override { return {}; }
        };
        return std::make_unique<NothingOnItsOwn>();
    }
};

class CardServiceTest : public CardTest {
  protected:
    void SetUp() override {
        CardTest::SetUp();
        create_card();
        g_recorders = &m_recorders;
        // Every handle reaches the card through the service, which is already running.
        handset::set_card_backend_factory(
            [this] { return std::make_unique<handset::ServiceCard>(m_socket, [] {}); });
    }
    void TearDown() override {
        stop_service();
        handset::set_card_backend_factory({});
        CardTest::TearDown();
    }

    void start_service(CardService::DriverFactory open_driver,
                       std::chrono::milliseconds idle_grace = 10s) {
        m_service = std::make_unique<CardService>(m_socket, std::move(open_driver), idle_grace);
        ASSERT_TRUE(m_service->listen());
        m_thread = std::thread([this] { m_service->run(); });
    }
    void start_emulated_service() {
        start_service([this] { return std::make_unique<ServedCard>(card_path()); });
    }
    void stop_service() {
        if (m_service) {
            m_service->stop();
            m_thread.join();
            m_service.reset();
        }
    }

    std::filesystem::path m_socket = m_folder.path() / "card.service";
    std::unique_ptr<CardService> m_service;
    std::thread m_thread;
    std::array<Recorder, 4> m_recorders;
};

} // namespace

TEST_F(CardServiceTest, HandlesSharingTheServiceGetTheCardsOwnAnswers) {
    start_emulated_service();
    SimHandle sim;
    ASSERT_EQ(sim.opened(), S_OK);
    ASSERT_EQ(write_named(sim, 7, u"Zoë 陳"), S_OK);

    SIMPHONEBOOKENTRY entry{};
    entry.cbSize = sizeof entry;
    ASSERT_EQ(SimReadPhonebookEntry(sim, SIM_PBSTORAGE_SIM, 7, &entry), S_OK);
    EXPECT_EQ(std::u16string(entry.lpszText), u"Zoë 陳");
    EXPECT_EQ(SimReadPhonebookEntry(sim, SIM_PBSTORAGE_SIM, 8, &entry), SIM_E_NOTFOUND);
    EXPECT_EQ(SimReadPhonebookEntry(sim, SIM_PBSTORAGE_SIM, 251, &entry), SIM_E_INVALIDINDEX);

    DWORD used = 0;
    DWORD total = 0;
    ASSERT_EQ(SimGetPhonebookStatus(sim, SIM_PBSTORAGE_SIM, &used, &total), S_OK);
    EXPECT_EQ(used, 1u);
    EXPECT_EQ(total, 250u);
    DWORD state = 0;
    EXPECT_EQ(SimGetPhoneLockedState(sim, &state), S_OK);
    EXPECT_EQ(state, DWORD(SIM_LOCKEDSTATE_READY));
    SIMCAPS caps{};
    ASSERT_EQ(SimGetDevCaps(sim, SIM_CAPSTYPE_ALL, &caps), S_OK);
    EXPECT_EQ(caps.dwPBStorages, DWORD(SIM_PBSTORAGE_SIM));
    EXPECT_EQ(caps.dwLockFacilities,
              DWORD(SIM_LOCKFACILITY_SIM | SIM_LOCKFACILITY_SIM_FIXEDIALING));
    EXPECT_EQ(caps.dwMaxPBETextLength, 14u);
}

TEST_F(CardServiceTest, EveryNotifiedHandleHearsOfChangesMadeThroughAnyHandle) {
    start_emulated_service();
    SimHandle first(SIM_INIT_SIMCARD_NOTIFICATIONS, record_callback, 0);
    SimHandle second(SIM_INIT_SIMCARD_NOTIFICATIONS, record_callback, 1);
    SimHandle writer;
    ASSERT_EQ(write_named(writer, 1, u"Taken"), S_OK);
    ASSERT_EQ(write_named(writer, SIM_PBINDEX_FIRSTAVAILABLE, u"New"), S_OK);
    ASSERT_EQ(SimDeletePhonebookEntry(writer, SIM_PBSTORAGE_SIM, 1), S_OK);
    for (size_t index : {0, 1}) {
        SCOPED_TRACE(index);
        ASSERT_TRUE(m_recorders[index].wait_for(3));
        EXPECT_THAT(m_recorders[index].seen(),
                    ElementsAre(IsEntryChange(SIM_NOTIFY_PBE_STORED, 1),
                                IsEntryChange(SIM_NOTIFY_PBE_STORED, 2),
                                IsEntryChange(SIM_NOTIFY_PBE_DELETED, 1)));
    }
}

TEST_F(CardServiceTest, AFullCardRefusesAWriteToTheFirstFreeSlotAndNobodyHearsOfIt) {
    handset::CardProfile small;
    small.slots = 2;
    create_card(small);
    start_emulated_service();
    SimHandle listener(SIM_INIT_SIMCARD_NOTIFICATIONS, record_callback, 0);
    SimHandle writer;
    ASSERT_EQ(write_named(writer, SIM_PBINDEX_FIRSTAVAILABLE, u"One"), S_OK);
    ASSERT_EQ(write_named(writer, SIM_PBINDEX_FIRSTAVAILABLE, u"Two"), S_OK);
    EXPECT_EQ(write_named(writer, SIM_PBINDEX_FIRSTAVAILABLE, u"Three"), SIM_E_MEMORYFULL);
    ASSERT_TRUE(m_recorders[0].wait_for(2));
    std::this_thread::sleep_for(300ms);
    EXPECT_THAT(m_recorders[0].seen(), ElementsAre(IsEntryChange(SIM_NOTIFY_PBE_STORED, 1),
                                                   IsEntryChange(SIM_NOTIFY_PBE_STORED, 2)));
}

TEST_F(CardServiceTest, ADriverThatCannotBeOpenedAnswersAsARadioThatIsNotThere) {
    start_service([] { return nullptr; });
    SimHandle sim;
    DWORD state = 0;
    EXPECT_EQ(SimGetPhoneLockedState(sim, &state), SIM_E_RADIONOTPRESENT);
}

TEST_F(CardServiceTest, CallsFailWithoutHangingWhileTheServiceIsGoneAndWorkAgainWithTheNextOne) {
    start_emulated_service();
    SimHandle sim;
    DWORD state = 0;
    ASSERT_EQ(SimGetPhoneLockedState(sim, &state), S_OK);

    stop_service();
    EXPECT_EQ(SimGetPhoneLockedState(sim, &state), SIM_E_RADIONOTPRESENT);
    start_emulated_service();
    EXPECT_EQ(SimGetPhoneLockedState(sim, &state), S_OK);
}

TEST_F(CardServiceTest, TheServiceEndsOnceItsLastConnectionIsGone) {
    start_service([this] { return std::make_unique<ServedCard>(card_path()); }, 500ms);
    {
        SimHandle sim;
        DWORD state = 0;
        ASSERT_EQ(SimGetPhoneLockedState(sim, &state), S_OK);
        std::this_thread::sleep_for(800ms);
        EXPECT_TRUE(std::filesystem::exists(m_socket)) << "a connected program keeps it";
    }
    m_thread.join();
    m_service.reset();
    EXPECT_FALSE(std::filesystem::exists(m_socket));
}

TEST_F(CardServiceTest, AGarbledRequestClosesOnlyItsOwnConnection) {
    start_emulated_service();
    SimHandle sim;
    DWORD state = 0;
    ASSERT_EQ(SimGetPhoneLockedState(sim, &state), S_OK);
    {
        handset::UniqueFd rogue = handset::connect_to_card_service(m_socket, [] {});
        ASSERT_TRUE(rogue);
        const std::vector<uint8_t> nonsense{0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3};
        ASSERT_EQ(::write(rogue.get(), nonsense.data(), nonsense.size()), ssize_t(nonsense.size()));
        EXPECT_FALSE(handset::receive_frame(rogue.get(), 2s)) << "the service hangs up";
    }
    EXPECT_EQ(SimGetPhoneLockedState(sim, &state), S_OK);
}

TEST_F(CardServiceTest, APinCheckRunsOnTheServicesReaderAndReportsTheTriesLeft) {
    start_service([] {
        auto card = std::make_unique<FakeSimCard>(FakeSimCard::Kind::usim, 10, 14);
        return std::make_unique<handset::ReaderCard>(std::move(card));
    });
    const std::unique_ptr<handset::CardBackend> handle = handset::make_card_backend();
    int tries = 0;
    EXPECT_EQ(handle->verify_pin(u"9999", handset::PinAttempt::spare_last_try, tries),
              SIM_E_INCORRECTPASSWORD);
    EXPECT_EQ(tries, 2);
    handset::CardProfile profile;
    EXPECT_EQ(handle->capabilities(profile), S_OK) << "the phonebook's layout needs no PIN";
    handset::PhonebookEntry entry;
    EXPECT_EQ(handle->read_entry(1, entry), SIM_E_SIMPINREQUIRED);
    EXPECT_EQ(handle->verify_pin(u"0000", handset::PinAttempt::spare_last_try, tries), S_OK);
    EXPECT_EQ(handle->read_entry(1, entry), SIM_E_NOTFOUND) << "open for the service's session";
}
