#include "cellcore/card_drivers.h"

#include "base/debug_output.h"
#include "cellcore/card_file.h"
#include "cellcore/emulated_card.h"
#include "cellcore/modem_card.h"
#include "cellcore/reader_card.h"
#include "cellcore/serial_line.h"

namespace handset {

std::unique_ptr<CardBackend> open_card_driver(const CardDriverConfig& config) {
    switch (config.kind) {
    case CardDriverConfig::Kind::emulated:
        return std::make_unique<EmulatedCard>(CardFile::default_path());
    case CardDriverConfig::Kind::modem:
        try {
            return open_modem_card(config.port, config.baud);
        } catch (const SerialLineError& error) {
            debug_printf("card service: %s\n", error.what());
            return nullptr;
        }
    case CardDriverConfig::Kind::reader:
        return open_reader_card(config.reader);
    }
    return nullptr;
}

} // namespace handset
