// The device's card service: the one owner of a card that several programs cannot each open for
// themselves, such as a modem's serial line. It listens on the device's card socket, runs each
// request on its driver one at a time, in the order they arrive, and tells every connection that
// subscribed about each change: the entries written and deleted through it, and what the driver
// itself reports (radio off, say).
//
// Its life:
//
//   starting --socket bound--> serving --last connection gone, idle_grace passed--> ended
//                                 |  ^
//                       connected |  | all gone
//                                 v  |
//                              serving (busy) --stop request or stop()--> ended
//
// A service that nobody connects to within idle_grace of starting ends as well, so one started
// for a program that died at once does not stay behind.
#pragma once

#include "base/unique_fd.h"
#include "cellcore/card_backend.h"
#include "cellcore/card_wire.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace handset {

class CardService {
  public:
    using DriverFactory = std::function<std::unique_ptr<CardBackend>()>;

    CardService(std::filesystem::path socket, DriverFactory open_driver,
                std::chrono::milliseconds idle_grace);
    ~CardService();
    CardService(const CardService&) = delete;
    CardService& operator=(const CardService&) = delete;

    // Binds the socket; false (with a debug line) when that fails.
    bool listen();
    // Serves until the service ends.
    void run();
    // Ends run() from another thread or a signal handler.
    void stop() { m_stopping = true; }

  private:
    struct Connection {
        UniqueFd socket;
        bool subscribed = false;
    };

    void accept_connection();
    // False when the connection is to be closed.
    bool serve_request(Connection& connection);
    std::vector<uint8_t> answer(CardRequest request, WireReader& arguments);
    // The driver, opened on first use and again after opening failed; nullptr when it cannot be.
    CardBackend* driver();
    // Writes and tells the subscribers which slot changed.
    HRESULT write_entry(CardBackend& card, DWORD index, const PhonebookEntry& entry,
                        EntryFields fields);
    void broadcast(uint32_t code, int slot);
    void relay_driver_changes();
    bool idle_too_long();

    std::filesystem::path m_socket_path;
    DriverFactory m_open_driver;
    std::chrono::milliseconds m_idle_grace;
    UniqueFd m_listener;
    std::vector<std::unique_ptr<Connection>> m_connections;
    std::unique_ptr<CardBackend> m_driver;
    std::unique_ptr<ChangeFeed> m_driver_feed;
    std::chrono::steady_clock::time_point m_idle_since;
    int64_t m_sequence = 0;
    std::atomic<bool> m_stopping = false;
};

// The service of the device folder with the driver its registry names; what the
// handset-card-service program runs. Another service already serving the device is success.
int run_card_service(const std::filesystem::path& device);

} // namespace handset
