// A card reached through the device's card service: the driver behind a program's SIM handle when
// the card has one owner per device, such as a modem's line. Each handle has its own connection;
// the first one starts the service when none is running, and a connection that broke (the
// service ended between two calls) is made again once before a call fails.
#pragma once

#include "base/unique_fd.h"
#include "cellcore/card_backend.h"
#include "cellcore/card_wire.h"

#include <filesystem>
#include <functional>
#include <optional>

namespace handset {

// Connects to the service's socket, calling start_service when nobody listens and waiting a while
// for the service to come up; an empty descriptor when it does not.
using ServiceStarter = std::function<void()>;
UniqueFd connect_to_card_service(const std::filesystem::path& socket,
                                 const ServiceStarter& start_service);

class ServiceCard final : public CardBackend {
  public:
    ServiceCard(std::filesystem::path socket, ServiceStarter start_service);

    HRESULT lock_state(DWORD& state) override;
    HRESULT locking_status(DWORD facility, bool& enabled) override;
    HRESULT capabilities(CardProfile& profile) override;
    HRESULT phonebook_status(DWORD& used, DWORD& total) override;
    HRESULT read_entry(DWORD index, PhonebookEntry& entry) override;
    HRESULT write_entry(DWORD index, const PhonebookEntry& entry, EntryFields fields) override;
    HRESULT delete_entry(DWORD index) override;
    LONG place_call(std::u16string_view number, std::u16string_view name) override;
    std::unique_ptr<ChangeFeed> open_change_feed() override;
    HRESULT verify_pin(std::u16string_view pin, PinAttempt attempt, int& tries_left) override;

  private:
    // The answer's result code, with `read` given the rest of an S_OK answer.
    template <typename Read>
    HRESULT call(const WireWriter& request, Read read);
    std::optional<std::vector<uint8_t>> exchange(const WireWriter& request);

    std::filesystem::path m_socket_path;
    ServiceStarter m_start_service;
    UniqueFd m_socket;
};

// The card service of the device folder, started from the handset-card-service program beside
// this library when it is not running.
std::unique_ptr<CardBackend> make_service_card(const std::filesystem::path& device);

// Asks the device's running service to end; false when none was running.
bool stop_card_service(const std::filesystem::path& device);

} // namespace handset
