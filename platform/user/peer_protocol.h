// The request and answer that processes of one device exchange about their top-level windows,
// one pair per connection to the answering process's socket, and where those sockets live.
//
// Every process that joins a device listens on <folder>/<pid>.sock, where the folder is private to
// the user ($XDG_RUNTIME_DIR, else a folder of theirs under /tmp) and named after the device
// folder, so that handsets on other device folders never meet.
#pragma once

#include <winuser.h>

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace handset {

enum class PeerOperation : uint32_t { find, user_data, set_foreground, post, send };

inline constexpr size_t peer_name_capacity = 256;

// Fixed-size records on the wire: both ends are this library on the same machine.
struct PeerRequest {
    PeerOperation operation;
    uint32_t window; // the answering process's own handle value
    uint32_t message;
    uint32_t last_active_popup;
    uint64_t wparam;
    int64_t lparam;
    uint16_t class_length; // 0xFFFF: any class
    uint16_t title_length; // 0xFFFF: any title
    char16_t class_name[peer_name_capacity];
    char16_t title[peer_name_capacity];
};

inline constexpr uint16_t peer_any_name = 0xFFFF;

enum class PeerStatus : uint32_t { done, no_window };

struct PeerAnswer {
    PeerStatus status;
    uint32_t reserved;
    int64_t value;
};

static_assert(sizeof(PeerAnswer) == 16);

// How long one end waits for the other before taking it as gone: long enough for a busy UI
// thread to handle a close request, short enough that two UI threads sending to each other
// across processes get free again.
inline constexpr std::chrono::milliseconds peer_timeout{5000};

// The device's socket folder, created private to the user; nothing when none can be made.
std::optional<std::filesystem::path> peer_folder(const std::filesystem::path& device);
std::filesystem::path peer_socket(const std::filesystem::path& folder, pid_t process);

// Fills a name field; false when the name does not fit.
bool put_peer_name(std::optional<std::u16string_view> name, char16_t (&field)[peer_name_capacity],
                   uint16_t& length);
std::optional<std::u16string_view> peer_name(const char16_t (&field)[peer_name_capacity],
                                             uint16_t length);

// Whole records over a socket, each within peer_timeout; false when the other end fails.
bool send_record(int socket, const void* record, size_t size);
bool receive_record(int socket, void* record, size_t size);

} // namespace handset
