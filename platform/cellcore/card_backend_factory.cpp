#include "base/device_folder.h"
#include "cellcore/card_backend.h"
#include "cellcore/card_driver_config.h"
#include "cellcore/card_file.h"
#include "cellcore/emulated_card.h"
#include "cellcore/service_card.h"

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
    const CardDriverConfig config = read_card_driver_config();
    switch (config.kind) {
    case CardDriverConfig::Kind::emulated:
        return std::make_unique<EmulatedCard>(CardFile::default_path());
    case CardDriverConfig::Kind::modem:
    case CardDriverConfig::Kind::reader:
        return make_service_card(device_folder());
    }
    return std::make_unique<EmulatedCard>(CardFile::default_path());
}

void set_card_backend_factory(CardBackendFactory factory) {
    std::lock_guard lock(g_factory_mutex);
    g_factory = std::move(factory);
}

} // namespace handset
