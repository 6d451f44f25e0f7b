// A table of objects addressed by opaque 32-bit handles, the way the device hands out windows,
// threads or registry keys. A handle is the slot's index plus one in its low 20 bits and the
// slot's generation in the next 11, so a handle kept after its object was removed does not reach
// the next object put in the same slot (until the slot has been reused 2048 times). Handles never
// have the top bit set, which leaves 0x80000000 and up to predefined handles such as the registry
// roots. 0 is never a handle.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace handset {

template <typename T>
class HandleTable {
  public:
    static constexpr uint32_t index_bits = 20;
    static constexpr uint32_t generation_bits = 11;
    static constexpr uint32_t max_slots = (1u << index_bits) - 1;

    // The new handle, or 0 when every slot is taken.
    uint32_t add(T value) {
        std::lock_guard lock(m_mutex);
        uint32_t index;
        if (!m_free.empty()) {
            index = m_free.front();
            m_free.pop_front();
        } else if (m_slots.size() < max_slots) {
            index = static_cast<uint32_t>(m_slots.size());
            m_slots.emplace_back();
        } else {
            return 0;
        }
        Slot& slot = m_slots[index];
        slot.value = std::move(value);
        return make_handle(index, slot.generation);
    }

    std::optional<T> find(uint32_t handle) const {
        std::lock_guard lock(m_mutex);
        if (!is_live(handle)) {
            return std::nullopt;
        }
        return m_slots[index_of(handle)].value;
    }

    // The removed object, or nothing if the handle was not live.
    std::optional<T> remove(uint32_t handle) {
        std::lock_guard lock(m_mutex);
        if (!is_live(handle)) {
            return std::nullopt;
        }
        Slot& slot = m_slots[index_of(handle)];
        std::optional<T> removed = std::move(slot.value);
        slot.value.reset();
        slot.generation = (slot.generation + 1) & ((1u << generation_bits) - 1);
        // Reusing the oldest free slot first keeps stale handles detectable for longer.
        m_free.push_back(index_of(handle));
        return removed;
    }

    size_t size() const {
        std::lock_guard lock(m_mutex);
        return m_slots.size() - m_free.size();
    }

  private:
    struct Slot {
        std::optional<T> value;
        uint32_t generation = 0;
    };

    static uint32_t make_handle(uint32_t index, uint32_t generation) {
        return (generation << index_bits) | (index + 1);
    }
    static uint32_t index_of(uint32_t handle) { return (handle & max_slots) - 1; }
    static uint32_t generation_of(uint32_t handle) { return handle >> index_bits; }

    bool is_live(uint32_t handle) const {
        if ((handle & max_slots) == 0 || index_of(handle) >= m_slots.size()) {
            return false;
        }
        const Slot& slot = m_slots[index_of(handle)];
        return slot.value && slot.generation == generation_of(handle);
    }

    mutable std::mutex m_mutex;
    std::vector<Slot> m_slots;
    std::deque<uint32_t> m_free;
};

} // namespace handset
