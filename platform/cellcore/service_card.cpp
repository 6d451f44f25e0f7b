#include "cellcore/service_card.h"

#include "base/debug_output.h"

#include <simmgr.h>
#include <tapi.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace handset {

namespace {

using namespace std::chrono_literals;

// A request to a modem may wait for the modem's own timeouts, several commands long.
constexpr auto answer_timeout = 60s;
constexpr auto send_timeout = 5s;
constexpr auto startup_timeout = 5s;

// What a program sees of a card service that cannot be reached: the radio is not there.
constexpr HRESULT unreachable = SIM_E_RADIONOTPRESENT;

UniqueFd try_connect(const std::filesystem::path& socket) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = socket.string();
    if (path.size() >= sizeof address.sun_path) {
        return {};
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    UniqueFd connection(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (connection && connect(connection.get(), reinterpret_cast<const sockaddr*>(&address),
                              sizeof address) != 0) {
        connection.reset();
    }
    return connection;
}

UniqueFd subscribed(UniqueFd socket) {
    WireWriter subscribe;
    subscribe.u32(static_cast<uint32_t>(CardRequest::subscribe));
    if (socket && !send_frame(socket.get(), subscribe.bytes(), send_timeout)) {
        socket.reset();
    }
    return socket;
}

// The changes the service reports to a subscribed connection. When the service ended (asked to,
// or gone with its modem), the feed subscribes again to the next one as soon as it listens; it
// does not start one itself, the handle's next call does.
class ServiceChangeFeed final : public ChangeFeed {
  public:
    ServiceChangeFeed(std::filesystem::path socket_path, UniqueFd socket)
        : m_socket_path(std::move(socket_path)), m_socket(std::move(socket)) {}

    std::vector<CardChange> poll() override {
        if (!m_socket) {
            m_socket = subscribed(try_connect(m_socket_path));
        }
        std::vector<CardChange> changes;
        while (m_socket && readable()) {
            const std::vector<uint8_t> frame =
                receive_frame(m_socket.get(), 1s).value_or(std::vector<uint8_t>{});
            WireReader reader(frame);
            const CardChange change = reader.change();
            if (!reader.finished()) {
                m_socket.reset();
                break;
            }
            changes.push_back(change);
        }
        return changes;
    }

  private:
    bool readable() const {
        pollfd entry{m_socket.get(), POLLIN, 0};
        return ::poll(&entry, 1, 0) == 1;
    }

    std::filesystem::path m_socket_path;
    UniqueFd m_socket;
};

std::filesystem::path this_library_folder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&make_service_card), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    return std::filesystem::path(info.dli_fname).parent_path();
}

// Starts the service program, detached: it leaves its first process at once and lives on its
// own, with no terminal and none of this program's output streams, until its last client is gone.
void start_card_service(const std::filesystem::path& device) {
    const std::filesystem::path program = this_library_folder() / "handset-card-service";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int stream : {0, 1, 2}) {
        posix_spawn_file_actions_addopen(&actions, stream, "/dev/null", O_RDWR, 0);
    }
    const std::string device_text = device.string();
    const char* arguments[] = {"handset-card-service", "--device", device_text.c_str(), nullptr};
    pid_t process = 0;
    const int status = posix_spawn(&process, program.c_str(), &actions, nullptr,
                                   const_cast<char* const*>(arguments), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) {
        debug_printf("card service: cannot start %s: %s\n", program.c_str(), std::strerror(status));
        return;
    }
    waitpid(process, nullptr, 0);
}

} // namespace

UniqueFd connect_to_card_service(const std::filesystem::path& socket,
                                 const ServiceStarter& start_service) {
    if (UniqueFd connection = try_connect(socket)) {
        return connection;
    }
    start_service();
    const auto deadline = std::chrono::steady_clock::now() + startup_timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (UniqueFd connection = try_connect(socket)) {
            return connection;
        }
        std::this_thread::sleep_for(10ms);
    }
    debug_printf("card service: nobody answers on %s\n", socket.c_str());
    return {};
}

ServiceCard::ServiceCard(std::filesystem::path socket, ServiceStarter start_service)
    : m_socket_path(std::move(socket)), m_start_service(std::move(start_service)) {}

std::optional<std::vector<uint8_t>> ServiceCard::exchange(const WireWriter& request) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_socket) {
            m_socket = connect_to_card_service(m_socket_path, m_start_service);
        }
        if (!m_socket) {
            return std::nullopt;
        }
        if (send_frame(m_socket.get(), request.bytes(), send_timeout)) {
            if (auto answer = receive_frame(m_socket.get(), answer_timeout)) {
                return answer;
            }
        }
        m_socket.reset();
    }
    return std::nullopt;
}

template <typename Read>
HRESULT ServiceCard::call(const WireWriter& request, Read read) {
    const std::optional<std::vector<uint8_t>> answer = exchange(request);
    if (!answer) {
        return unreachable;
    }
    WireReader reader(*answer);
    const auto result = static_cast<HRESULT>(reader.u32());
    if (result == S_OK) {
        read(reader);
    }
    return reader.finished() ? result : unreachable;
}

namespace {

WireWriter request(CardRequest operation) {
    WireWriter writer;
    writer.u32(static_cast<uint32_t>(operation));
    return writer;
}

void nothing_more(WireReader&) {}

} // namespace

HRESULT ServiceCard::lock_state(DWORD& state) {
    return call(request(CardRequest::lock_state),
                [&](WireReader& reader) { state = reader.u32(); });
}

HRESULT ServiceCard::locking_status(DWORD facility, bool& enabled) {
    return call(request(CardRequest::locking_status).u32(facility),
                [&](WireReader& reader) { enabled = reader.u32() != 0; });
}

HRESULT ServiceCard::capabilities(CardProfile& profile) {
    return call(request(CardRequest::capabilities),
                [&](WireReader& reader) { profile = reader.profile(); });
}

HRESULT ServiceCard::phonebook_status(DWORD& used, DWORD& total) {
    return call(request(CardRequest::phonebook_status), [&](WireReader& reader) {
        used = reader.u32();
        total = reader.u32();
    });
}

HRESULT ServiceCard::read_entry(DWORD index, PhonebookEntry& entry) {
    return call(request(CardRequest::read_entry).u32(index),
                [&](WireReader& reader) { entry = reader.entry(); });
}

HRESULT ServiceCard::write_entry(DWORD index, const PhonebookEntry& entry, EntryFields fields) {
    return call(request(CardRequest::write_entry)
                    .u32(index)
                    .entry(entry)
                    .u32(fields == EntryFields::all ? 1 : 0),
                nothing_more);
}

HRESULT ServiceCard::delete_entry(DWORD index) {
    return call(request(CardRequest::delete_entry).u32(index), nothing_more);
}

LONG ServiceCard::place_call(std::u16string_view number, std::u16string_view name) {
    const HRESULT result =
        call(request(CardRequest::place_call).text(number).text(name), nothing_more);
    return result == unreachable ? TAPIERR_REQUESTFAILED : static_cast<LONG>(result);
}

HRESULT ServiceCard::verify_pin(std::u16string_view pin, PinAttempt attempt, int& tries_left) {
    HRESULT status = unreachable;
    tries_left = -1;
    const HRESULT result = call(request(CardRequest::verify_pin)
                                    .text(pin)
                                    .u32(attempt == PinAttempt::last_try_allowed ? 1 : 0),
                                [&](WireReader& reader) {
                                    status = static_cast<HRESULT>(reader.u32());
                                    tries_left = static_cast<int>(reader.u32());
                                });
    return result == S_OK ? status : result;
}

std::unique_ptr<ChangeFeed> ServiceCard::open_change_feed() {
    return std::make_unique<ServiceChangeFeed>(
        m_socket_path, subscribed(connect_to_card_service(m_socket_path, m_start_service)));
}

std::unique_ptr<CardBackend> make_service_card(const std::filesystem::path& device) {
    const std::filesystem::path absolute = std::filesystem::absolute(device);
    std::optional<std::filesystem::path> socket = card_service_socket(absolute);
    return std::make_unique<ServiceCard>(socket.value_or(std::filesystem::path()),
                                         [absolute] { start_card_service(absolute); });
}

bool stop_card_service(const std::filesystem::path& device) {
    const std::optional<std::filesystem::path> socket = card_service_socket(device);
    UniqueFd connection = socket ? try_connect(*socket) : UniqueFd();
    if (!connection) {
        return false;
    }
    WireWriter stop;
    stop.u32(static_cast<uint32_t>(CardRequest::stop));
    if (!send_frame(connection.get(), stop.bytes(), send_timeout)) {
        return false;
    }
    // The service closes the connection as it ends; wait for that, so that a program started
    // next does not find the old service still listening.
    (void)receive_frame(connection.get(), send_timeout);
    return true;
}

} // namespace handset
