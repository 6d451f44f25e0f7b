#include "cellcore/card_backend.h"
#include "cellcore/card_file.h"
#include "cellcore/emulated_card.h"

#include <mutex>

namespace handset {

namespace {

std::mutex g_factory_mutex;
CardBackendFactory g_factory;

} // namespace

std::unique_ptr<CardBackend> make_card_backend() {
    CardBackendFactory factory;
    {
        std::lock_guard lock(g_factory_mutex);
        factory = g_factory;
    }
    // Called without the lock: a test's factory may wrap the emulated card made here.
    if (factory) {
        return factory();
    }
    return std::make_unique<EmulatedCard>(CardFile::default_path());
}

void set_card_backend_factory(CardBackendFactory factory) {
    std::lock_guard lock(g_factory_mutex);
    g_factory = std::move(factory);
}

} // namespace handset
