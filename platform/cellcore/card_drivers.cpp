#include "cellcore/card_drivers.h"

#include "base/debug_output.h"
#include "cellcore/card_file.h"
#include "cellcore/emulated_card.h"

namespace handset {

std::unique_ptr<CardBackend> open_card_driver(const CardDriverConfig& config) {
    switch (config.kind) {
    case CardDriverConfig::Kind::emulated:
        return std::make_unique<EmulatedCard>(CardFile::default_path());
    case CardDriverConfig::Kind::modem:
        debug_printf("card service: no modem driver in this build\n");
        return nullptr;
    }
    return nullptr;
}

} // namespace handset
