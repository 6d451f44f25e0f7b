// What an HSIM stands for: the card driver it talks to. A program may share one handle between
// threads (the device allows it), so the driver is used under a lock, one call at a time.
#pragma once

#include "cellcore/card_backend.h"

#include <memory>
#include <mutex>

namespace handset {

class SimSession {
  public:
    SimSession(std::unique_ptr<CardBackend> backend, bool notified)
        : m_backend(std::move(backend)), m_notified(notified) {}

    template <typename Operation>
    auto with_backend(Operation operation) {
        std::lock_guard lock(m_mutex);
        return operation(*m_backend);
    }

    bool notified() const { return m_notified; }

  private:
    std::mutex m_mutex;
    std::unique_ptr<CardBackend> m_backend;
    const bool m_notified;
};

} // namespace handset
