// A table of GDI objects or device contexts behind 32-bit handles. A handle is the slot's index
// in its low 16 bits and the slot's generation in the high ones, so a handle kept after its object
// was deleted does not reach the object that later reuses the slot; freed slots are reused oldest
// first, which keeps stale handles detectable for longer. Only indices from `first_index` to
// `last_index` are given out, so that tables of different kinds never share a handle value and
// the values under the first stay free for meanings of their own (COLOR_* + 1 brushes).
//
// The base module's handle table numbers every table's handles from 1 with no such ranges, and
// GDI needs both: GetObjectType tells DCs from objects by value alone, and no reuse of a slot may
// ever produce a system-colour brush value.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace handset {

template <typename T>
class GdiHandleTable {
  public:
    GdiHandleTable(uint32_t first_index, uint32_t last_index)
        : m_first_index(first_index), m_last_index(std::min<uint32_t>(last_index, 0xFFFF)) {}

    // 0 when the table is full.
    uint32_t insert(std::shared_ptr<T> object) {
        uint32_t slot;
        if (!m_free.empty()) {
            slot = m_free.front();
            m_free.pop_front();
        } else if (m_first_index + m_slots.size() <= m_last_index) {
            slot = static_cast<uint32_t>(m_slots.size());
            m_slots.push_back(Slot{});
        } else {
            return 0;
        }
        Slot& entry = m_slots[slot];
        entry.generation = entry.generation % max_generation + 1;
        entry.object = std::move(object);
        return (entry.generation << 16) | (slot + m_first_index);
    }

    std::shared_ptr<T> find(uint32_t handle) const {
        const std::optional<size_t> slot = live_slot(handle);
        return slot ? m_slots[*slot].object : nullptr;
    }

    // The object, which lives on while others still hold it; nullptr for an unknown handle.
    std::shared_ptr<T> remove(uint32_t handle) {
        const std::optional<size_t> slot = live_slot(handle);
        if (!slot) {
            return nullptr;
        }
        m_free.push_back(static_cast<uint32_t>(*slot));
        return std::move(m_slots[*slot].object);
    }

  private:
    static constexpr uint32_t max_generation = 0x7FFF;

    struct Slot {
        uint32_t generation = 0;
        std::shared_ptr<T> object;
    };

    std::optional<size_t> live_slot(uint32_t handle) const {
        const uint32_t index = handle & 0xFFFFu;
        if (index < m_first_index || index - m_first_index >= m_slots.size()) {
            return std::nullopt;
        }
        const size_t slot = index - m_first_index;
        const Slot& entry = m_slots[slot];
        if (entry.object == nullptr || entry.generation != handle >> 16) {
            return std::nullopt;
        }
        return slot;
    }

    uint32_t m_first_index;
    uint32_t m_last_index;
    std::vector<Slot> m_slots;
    std::deque<uint32_t> m_free;
};

} // namespace handset
