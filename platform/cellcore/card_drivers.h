// Opening the driver that a device's configuration names, in the process that owns the card: a
// program for the emulated card, the card service for a modem or a reader.
#pragma once

#include "cellcore/card_backend.h"
#include "cellcore/card_driver_config.h"

#include <memory>

namespace handset {

// Nothing (with a debug line) when the card cannot be reached now, such as a modem that is
// unplugged; the caller tries again later.
std::unique_ptr<CardBackend> open_card_driver(const CardDriverConfig& config);

} // namespace handset
