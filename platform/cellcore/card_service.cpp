#include "cellcore/card_service.h"

#include "base/debug_output.h"
#include "base/device_folder.h"
#include "cellcore/card_driver_config.h"
#include "cellcore/card_drivers.h"

#include <simmgr.h>

#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <fcntl.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace handset {

namespace {

using namespace std::chrono_literals;

// How long a request may take to arrive once its first byte has, and how long a subscriber may
// keep a change waiting before it is taken as gone.
constexpr auto transfer_timeout = 2s;
// How often the driver's own reports are looked at.
constexpr auto driver_poll_interval = 100ms;

// The first empty slot, so that subscribers hear which slot a write to the first free one took:
// a modem's own choice of slot is not reported by every modem.
HRESULT first_free_slot(CardBackend& card, DWORD& slot) {
    CardProfile profile;
    if (const HRESULT status = card.capabilities(profile); status != S_OK) {
        return status;
    }
    for (DWORD index = 1; index <= static_cast<DWORD>(profile.slots); ++index) {
        PhonebookEntry entry;
        const HRESULT status = card.read_entry(index, entry);
        if (status == SIM_E_NOTFOUND) {
            slot = index;
            return S_OK;
        }
        if (status != S_OK) {
            return status;
        }
    }
    return SIM_E_MEMORYFULL;
}

} // namespace

CardService::CardService(std::filesystem::path socket, DriverFactory open_driver,
                         std::chrono::milliseconds idle_grace)
    : m_socket_path(std::move(socket)), m_open_driver(std::move(open_driver)),
      m_idle_grace(idle_grace) {}

CardService::~CardService() {
    if (m_listener) {
        std::error_code ignored;
        std::filesystem::remove(m_socket_path, ignored);
    }
}

bool CardService::listen() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = m_socket_path.string();
    if (path.size() >= sizeof address.sun_path) {
        debug_printf("card service: the socket path %s is too long\n", path.c_str());
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    m_listener.reset(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    // A socket left by a service that died is in the way; the caller holds the device's service
    // lock, so no living service owns it.
    ::unlink(path.c_str());
    if (!m_listener ||
        bind(m_listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener.get(), 16) != 0) {
        debug_printf("card service: cannot listen on %s: %s\n", path.c_str(), std::strerror(errno));
        m_listener.reset();
        return false;
    }
    m_idle_since = std::chrono::steady_clock::now();
    return true;
}

void CardService::run() {
    while (!m_stopping && !idle_too_long()) {
        std::vector<pollfd> watched{{m_listener.get(), POLLIN, 0}};
        for (const auto& connection : m_connections) {
            watched.push_back({connection->socket.get(), POLLIN, 0});
        }
        const int ready =
            poll(watched.data(), watched.size(), static_cast<int>(driver_poll_interval.count()));
        if (ready < 0 && errno != EINTR) {
            debug_printf("card service: poll failed: %s\n", std::strerror(errno));
            return;
        }
        // Requests first, in the order of the connections. A connection that closed, or that a
        // change could not reach, is left empty here and dropped once the round is over, so the
        // positions in `watched` stay those of m_connections.
        for (size_t i = 1; ready > 0 && i < watched.size(); ++i) {
            std::unique_ptr<Connection>& connection = m_connections[i - 1];
            if (watched[i].revents != 0 && connection && !serve_request(*connection)) {
                connection.reset();
            }
        }
        relay_driver_changes();
        std::erase(m_connections, nullptr);
        if (ready > 0 && (watched[0].revents & POLLIN) != 0) {
            accept_connection();
        }
        if (!m_connections.empty()) {
            m_idle_since = std::chrono::steady_clock::now();
        }
    }
}

bool CardService::idle_too_long() {
    return m_connections.empty() && std::chrono::steady_clock::now() - m_idle_since > m_idle_grace;
}

void CardService::accept_connection() {
    UniqueFd socket(accept4(m_listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (socket) {
        m_connections.push_back(std::make_unique<Connection>(Connection{std::move(socket)}));
    }
}

bool CardService::serve_request(Connection& connection) {
    // A subscriber sends nothing after subscribing: whatever wakes it is its end closing.
    if (connection.subscribed) {
        return false;
    }
    const std::optional<std::vector<uint8_t>> frame =
        receive_frame(connection.socket.get(), transfer_timeout);
    if (!frame) {
        return false;
    }
    WireReader arguments(*frame);
    const auto request = static_cast<CardRequest>(arguments.u32());
    if (request == CardRequest::subscribe) {
        connection.subscribed = arguments.finished();
        return connection.subscribed;
    }
    if (request == CardRequest::stop) {
        m_stopping = true;
        return false;
    }
    return send_frame(connection.socket.get(), answer(request, arguments), transfer_timeout);
}

CardBackend* CardService::driver() {
    if (!m_driver) {
        m_driver = m_open_driver();
        m_driver_feed = m_driver ? m_driver->open_change_feed() : nullptr;
    }
    return m_driver.get();
}

// Runs one request on the driver. A request the service cannot read is a bad parameter; a driver
// that cannot be opened answers as a radio that is not there, which is what a program sees of a
// modem that is unplugged.
std::vector<uint8_t> CardService::answer(CardRequest request, WireReader& arguments) {
    WireWriter result;
    CardBackend* card = driver();
    HRESULT code = card ? S_OK : SIM_E_RADIONOTPRESENT;
    const auto run = [&](auto operation) {
        if (!arguments.finished()) {
            code = SIM_E_BADPARAM;
        } else if (card) {
            code = operation();
        }
    };
    switch (request) {
    case CardRequest::lock_state: {
        run([&] {
            DWORD state = 0;
            const HRESULT status = card->lock_state(state);
            result.u32(state);
            return status;
        });
        break;
    }
    case CardRequest::locking_status: {
        const uint32_t facility = arguments.u32();
        run([&] {
            bool enabled = false;
            const HRESULT status = card->locking_status(facility, enabled);
            result.u32(enabled ? 1 : 0);
            return status;
        });
        break;
    }
    case CardRequest::capabilities:
        run([&] {
            CardProfile profile;
            const HRESULT status = card->capabilities(profile);
            result.profile(profile);
            return status;
        });
        break;
    case CardRequest::phonebook_status:
        run([&] {
            DWORD used = 0;
            DWORD total = 0;
            const HRESULT status = card->phonebook_status(used, total);
            result.u32(used).u32(total);
            return status;
        });
        break;
    case CardRequest::read_entry: {
        const uint32_t index = arguments.u32();
        run([&] {
            PhonebookEntry entry;
            const HRESULT status = card->read_entry(index, entry);
            result.entry(entry);
            return status;
        });
        break;
    }
    case CardRequest::write_entry: {
        const uint32_t index = arguments.u32();
        const PhonebookEntry entry = arguments.entry();
        const auto fields = arguments.u32() != 0 ? EntryFields::all : EntryFields::name_and_number;
        run([&] { return write_entry(*card, index, entry, fields); });
        break;
    }
    case CardRequest::delete_entry: {
        const uint32_t index = arguments.u32();
        run([&] {
            const HRESULT status = card->delete_entry(index);
            if (status == S_OK) {
                broadcast(SIM_NOTIFY_PBE_DELETED, static_cast<int>(index));
            }
            return status;
        });
        break;
    }
    case CardRequest::place_call: {
        const std::u16string number = arguments.text();
        const std::u16string name = arguments.text();
        run([&] { return static_cast<HRESULT>(card->place_call(number, name)); });
        break;
    }
    case CardRequest::verify_pin: {
        const std::u16string pin = arguments.text();
        const auto attempt =
            arguments.u32() != 0 ? PinAttempt::last_try_allowed : PinAttempt::spare_last_try;
        // The check's own outcome travels inside a successful answer, as a wrong PIN still
        // reports the tries left.
        run([&] {
            int tries_left = -1;
            const HRESULT status = card->verify_pin(pin, attempt, tries_left);
            result.u32(static_cast<uint32_t>(status)).u32(static_cast<uint32_t>(tries_left));
            return S_OK;
        });
        break;
    }
    case CardRequest::subscribe:
    case CardRequest::stop:
        code = SIM_E_BADPARAM;
        break;
    }
    std::vector<uint8_t> reply = WireWriter().u32(static_cast<uint32_t>(code)).bytes();
    if (code == S_OK) {
        reply.insert(reply.end(), result.bytes().begin(), result.bytes().end());
    }
    return reply;
}

HRESULT CardService::write_entry(CardBackend& card, DWORD index, const PhonebookEntry& entry,
                                 EntryFields fields) {
    if (index == SIM_PBINDEX_FIRSTAVAILABLE) {
        if (const HRESULT status = first_free_slot(card, index); status != S_OK) {
            return status;
        }
    }
    const HRESULT status = card.write_entry(index, entry, fields);
    if (status == S_OK) {
        broadcast(SIM_NOTIFY_PBE_STORED, static_cast<int>(index));
    }
    return status;
}

void CardService::broadcast(uint32_t code, int slot) {
    WireWriter frame;
    frame.change({++m_sequence, code, slot});
    for (auto& connection : m_connections) {
        if (connection && connection->subscribed &&
            !send_frame(connection->socket.get(), frame.bytes(), transfer_timeout)) {
            connection.reset();
        }
    }
}

void CardService::relay_driver_changes() {
    if (!m_driver_feed) {
        return;
    }
    bool radio_gone = false;
    for (const CardChange& change : m_driver_feed->poll()) {
        broadcast(change.code, change.slot);
        radio_gone = radio_gone || change.code == SIM_NOTIFY_RADIOOFF;
    }
    // A modem that went away may come back (plugged in again, its program restarted): the next
    // request opens the port anew instead of failing on the line that is gone.
    if (radio_gone) {
        m_driver_feed.reset();
        m_driver.reset();
    }
}

} // namespace handset

namespace handset {

namespace {

// Once the last program is gone the service waits this long before it ends, so that a script
// running one handsetctl after another does not start a service, and open the modem, each time.
constexpr auto idle_grace = 2s;

CardService* g_running_service = nullptr;

extern "C" void stop_on_signal(int) {
    if (g_running_service != nullptr) {
        g_running_service->stop();
    }
}

// Held for the service's life, so that two programs starting a service at once get one.
UniqueFd service_lock(const std::filesystem::path& socket) {
    const std::filesystem::path path = socket.parent_path() / "card.lock";
    UniqueFd lock(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock && flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
        lock.reset();
    }
    return lock;
}

} // namespace

int run_card_service(const std::filesystem::path& device) {
    set_device_folder(device);
    const std::optional<std::filesystem::path> socket = card_service_socket(device);
    if (!socket) {
        return 1;
    }
    const UniqueFd lock = service_lock(*socket);
    if (!lock) {
        return 0;
    }
    const CardDriverConfig config = read_card_driver_config();
    debug_printf("card service: serving %s with the %s driver\n", device.c_str(),
                 describe(config).c_str());
    CardService service(
        *socket, [config] { return open_card_driver(config); }, idle_grace);
    if (!service.listen()) {
        return 1;
    }
    g_running_service = &service;
    struct sigaction action {};
    action.sa_handler = stop_on_signal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    service.run();
    g_running_service = nullptr;
    debug_printf("card service: ended for %s\n", device.c_str());
    return 0;
}

} // namespace handset
