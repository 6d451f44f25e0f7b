#include "cellcore/card_driver_config.h"

#include "base/debug_output.h"
#include "base/utf.h"

#include <winreg.h>

#include <optional>
#include <vector>

namespace handset {

namespace {

class OpenKey {
  public:
    OpenKey() {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, card_driver_key, 0, KEY_QUERY_VALUE, &m_key) !=
            ERROR_SUCCESS) {
            m_key = HKEY{};
        }
    }
    ~OpenKey() {
        if (m_key) {
            RegCloseKey(m_key);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    explicit operator bool() const { return static_cast<bool>(m_key); }

    std::optional<std::u16string> text(const char16_t* name) const {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != REG_SZ) {
            return std::nullopt;
        }
        std::vector<char16_t> buffer(size / sizeof(char16_t) + 1, u'\0');
        if (RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                             &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::u16string(buffer.data());
    }

    std::optional<DWORD> number(const char16_t* name) const {
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD) {
            return std::nullopt;
        }
        return value;
    }

  private:
    HKEY m_key{};
};

CardDriverConfig emulated_because(const std::string& reason) {
    debug_printf("card driver: %s; using the emulated card\n", reason.c_str());
    return {};
}

// Without a name the driver takes the first reader that holds a card.
CardDriverConfig reader_config(const OpenKey& key) {
    CardDriverConfig config;
    config.kind = CardDriverConfig::Kind::reader;
    config.reader = utf16_to_utf8(key.text(u"Reader").value_or(u""));
    if (config.reader.empty()) {
        config.reader = CardDriverConfig::any_reader;
    }
    return config;
}

} // namespace

CardDriverConfig read_card_driver_config() {
    const OpenKey key;
    if (!key) {
        return {};
    }
    const std::string driver = utf16_to_utf8(key.text(u"Driver").value_or(u"emulated"));
    if (driver == "emulated") {
        return {};
    }
    if (driver == "reader") {
        return reader_config(key);
    }
    if (driver != "modem") {
        return emulated_because("the driver \"" + driver + "\" is not known");
    }
    CardDriverConfig config;
    config.kind = CardDriverConfig::Kind::modem;
    config.port = utf16_to_utf8(key.text(u"Port").value_or(u""));
    if (config.port.empty()) {
        return emulated_because("the modem driver has no \"Port\"");
    }
    config.baud = static_cast<int>(key.number(u"Baud").value_or(CardDriverConfig::default_baud));
    return config;
}

std::string describe(const CardDriverConfig& config) {
    switch (config.kind) {
    case CardDriverConfig::Kind::emulated:
        return "emulated";
    case CardDriverConfig::Kind::modem:
        return "modem " + config.port + " at " + std::to_string(config.baud) + " baud";
    case CardDriverConfig::Kind::reader:
        return config.reader == CardDriverConfig::any_reader
                   ? "reader auto (the first reader that holds a card)"
                   : "reader \"" + config.reader + "\"";
    }
    return "unknown";
}

} // namespace handset
