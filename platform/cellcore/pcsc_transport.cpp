#include "cellcore/pcsc_transport.h"

#include "base/debug_output.h"
#include "cellcore/card_driver_config.h"

#include <PCSC/winscard.h>

#include <algorithm>
#include <cctype>

namespace handset {

namespace {

// The longest short APDU answer: 256 data bytes and the status word.
constexpr size_t answer_room = 258;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

void complain(const char* call, LONG result) {
    debug_printf("reader: %s: %s\n", call, pcsc_stringify_error(result));
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "\"" : ", \"") + name + "\"";
    }
    return text.empty() ? "none" : text;
}

} // namespace

std::string match_reader(const std::vector<std::string>& names, const std::string& wanted) {
    const std::string key = lower(wanted);
    for (const auto& fits : std::initializer_list<bool (*)(const std::string&, const std::string&)>{
             [](const std::string&name, const std::string&k) { return name == k; },
             [](const std::string&name, const std::string&k) { return name.starts_with(k); },
             [](const std::string&name, const std::string&k) {
                 return name.find(k) != std::string::npos;
             }}) {
        for (const std::string& name : names) {
            if (fits(lower(name), key)) {
                return name;
            }
        }
    }
    return {};
}

std::unique_ptr<PcscTransport> PcscTransport::open(std::string reader) {
    SCARDCONTEXT context = 0;
    const LONG result = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context);
    if (result != SCARD_S_SUCCESS) {
        complain("SCardEstablishContext", result);
        return nullptr;
    }
    return std::unique_ptr<PcscTransport>(
        new PcscTransport(static_cast<intptr_t>(context), std::move(reader)));
}

PcscTransport::PcscTransport(intptr_t context, std::string reader)
    : m_context(context), m_wanted(std::move(reader)) {}

PcscTransport::~PcscTransport() {
    disconnect();
    SCardReleaseContext(static_cast<SCARDCONTEXT>(m_context));
}

std::vector<std::string> PcscTransport::reader_names() {
    DWORD size = 0;
    const auto context = static_cast<SCARDCONTEXT>(m_context);
    if (SCardListReaders(context, nullptr, nullptr, &size) != SCARD_S_SUCCESS) {
        return {};
    }
    std::string buffer(size, '\0');
    if (SCardListReaders(context, nullptr, buffer.data(), &size) != SCARD_S_SUCCESS) {
        return {};
    }
    // A list of names, each ended by a NUL, the list by another.
    std::vector<std::string> names;
    for (size_t start = 0; start < buffer.size() && buffer[start] != '\0';) {
        const size_t end = buffer.find('\0', start);
        names.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool PcscTransport::holds_card(const std::string& name) {
    SCARD_READERSTATE state{};
    state.szReader = name.c_str();
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    const LONG result = SCardGetStatusChange(static_cast<SCARDCONTEXT>(m_context), 0, &state, 1);
    return result == SCARD_S_SUCCESS && (state.dwEventState & SCARD_STATE_PRESENT) != 0;
}

std::string PcscTransport::first_with_card(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (holds_card(name)) {
            return name;
        }
    }
    return {};
}

std::string PcscTransport::chosen_reader() {
    const std::vector<std::string> names = reader_names();
    const std::string chosen = m_wanted == CardDriverConfig::any_reader
                                   ? first_with_card(names)
                                   : match_reader(names, m_wanted);
    // Said once until the readers change, as the driver looks again at every call.
    const std::string complaint =
        chosen.empty() ? "reader: no reader (of " + joined(names) + ") is \"" + m_wanted + "\""
                       : "";
    if (!complaint.empty() && complaint != m_complaint) {
        debug_line(complaint);
    }
    m_complaint = complaint;
    return chosen;
}

void PcscTransport::disconnect() {
    if (m_card != 0) {
        SCardDisconnect(static_cast<SCARDHANDLE>(m_card), SCARD_LEAVE_CARD);
        m_card = 0;
    }
}

bool PcscTransport::card_present() {
    const std::string reader = m_reader.empty() ? chosen_reader() : m_reader;
    return !reader.empty() && holds_card(reader);
}

bool PcscTransport::reconnect() {
    disconnect();
    m_reader = chosen_reader();
    if (m_reader.empty()) {
        return false;
    }
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    const LONG result =
        SCardConnect(static_cast<SCARDCONTEXT>(m_context), m_reader.c_str(), SCARD_SHARE_SHARED,
                     SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card, &protocol);
    if (result != SCARD_S_SUCCESS) {
        complain("SCardConnect", result);
        return false;
    }
    m_card = static_cast<intptr_t>(card);
    m_protocol = protocol;
    debug_printf("reader: connected to the card in \"%s\" (T=%d)\n", m_reader.c_str(),
                 protocol == SCARD_PROTOCOL_T1 ? 1 : 0);
    return true;
}

std::optional<ApduResponse> PcscTransport::transmit(ByteView command) {
    if (m_card == 0) {
        return std::nullopt;
    }
    const SCARD_IO_REQUEST* pci = m_protocol == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0;
    Bytes answer(answer_room, 0);
    DWORD length = static_cast<DWORD>(answer.size());
    const LONG result =
        SCardTransmit(static_cast<SCARDHANDLE>(m_card), pci, command.data(),
                      static_cast<DWORD>(command.size()), nullptr, answer.data(), &length);
    if (result != SCARD_S_SUCCESS || length < 2) {
        // Removed or reset: the handle is spent either way, and the session starts over.
        complain("SCardTransmit", result);
        disconnect();
        return std::nullopt;
    }
    answer.resize(length);
    ApduResponse response;
    response.status = static_cast<uint16_t>(answer[length - 2] << 8 | answer[length - 1]);
    answer.resize(length - 2);
    response.data = std::move(answer);
    return response;
}

} // namespace handset
