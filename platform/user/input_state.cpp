#include "user/input_state.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace handset {

namespace {

// x in the high half, y in the low, so one atomic word holds a consistent point.
std::atomic<uint64_t> g_stylus{0};
std::array<std::atomic<bool>, 256> g_keys{};

} // namespace

POINT stylus_position() {
    const uint64_t packed = g_stylus.load();
    return POINT{static_cast<LONG>(static_cast<uint32_t>(packed >> 32)),
                 static_cast<LONG>(static_cast<uint32_t>(packed))};
}

void set_stylus_position(POINT position) {
    g_stylus.store((static_cast<uint64_t>(static_cast<uint32_t>(position.x)) << 32) |
                   static_cast<uint32_t>(position.y));
}

bool key_held(UINT virtual_key) {
    return virtual_key < g_keys.size() && g_keys[virtual_key].load();
}

void set_key_held(UINT virtual_key, bool held) {
    if (virtual_key < g_keys.size()) {
        g_keys[virtual_key].store(held);
    }
}

} // namespace handset
