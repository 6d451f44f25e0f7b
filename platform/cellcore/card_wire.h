// What travels between a program's SIM handles and the device's card service: frames of a 4-byte
// length and a body, the body read and written field by field. Both ends are this library on one
// machine, so numbers go in host order.
//
// A request is an operation and its arguments; its answer is the operation's result code and,
// when that is S_OK, what the operation reports. A connection that sent `subscribe` gets no
// answers from then on, only a frame for each change the card reports.
#pragma once

#include "cellcore/card_types.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

enum class CardRequest : uint32_t {
    lock_state,
    locking_status,
    capabilities,
    phonebook_status,
    read_entry,
    write_entry,
    delete_entry,
    place_call,
    verify_pin,
    subscribe,
    stop,
};

// Far larger than any entry or profile; a longer length means a confused peer.
inline constexpr uint32_t max_frame_bytes = 64 * 1024;

class WireWriter {
  public:
    WireWriter& u32(uint32_t value);
    WireWriter& i64(int64_t value);
    WireWriter& text(std::u16string_view value);
    WireWriter& number(const DiallingNumber& value);
    WireWriter& entry(const PhonebookEntry& value);
    WireWriter& profile(const CardProfile& value);
    WireWriter& change(const CardChange& value);

    const std::vector<uint8_t>& bytes() const { return m_bytes; }

  private:
    void put(const void* data, size_t size);
    std::vector<uint8_t> m_bytes;
};

// Reads fields in the order they were written. A read past the end, or a field that cannot be
// one, fails the reader; every later read then fails too, so a caller checks ok() once at the end.
class WireReader {
  public:
    explicit WireReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    uint32_t u32();
    int64_t i64();
    std::u16string text();
    DiallingNumber number();
    PhonebookEntry entry();
    CardProfile profile();
    CardChange change();

    bool ok() const { return !m_failed; }
    // Everything read and nothing left over.
    bool finished() const { return ok() && m_offset == m_bytes.size(); }

  private:
    bool take(void* data, size_t size);
    std::span<const uint8_t> m_bytes;
    size_t m_offset = 0;
    bool m_failed = false;
};

// Whole frames or nothing: false when the peer is gone or does not keep up within timeout.
bool send_frame(int socket, const std::vector<uint8_t>& body, std::chrono::milliseconds timeout);
std::optional<std::vector<uint8_t>> receive_frame(int socket, std::chrono::milliseconds timeout);

// The service's socket of a device folder, in the device's private runtime folder; nothing when
// that folder cannot be made.
std::optional<std::filesystem::path> card_service_socket(const std::filesystem::path& device);

} // namespace handset
