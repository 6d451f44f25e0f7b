#include "cellcore/card_drivers.h"

#include "cellcore/card_file.h"
#include "cellcore/emulated_card.h"
#include "cellcore/modem_card.h"

namespace handset {

std::unique_ptr<CardBackend> open_card_driver(const CardDriverConfig& config) {
    switch (config.kind) {
    case CardDriverConfig::Kind::emulated:
        return std::make_unique<EmulatedCard>(CardFile::default_path());
    case CardDriverConfig::Kind::modem:
        return open_modem_card(config.port, config.baud);
    }
    return nullptr;
}

} // namespace handset
