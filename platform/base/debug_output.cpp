#include "base/debug_output.h"

#include "base/debug_sink.h"
#include "base/utf.h"

#include <winbase.h>

#include <cstdarg>
#include <cstdio>

namespace handset {

namespace {

bool ends_line(std::string_view text) {
    return !text.empty() && text.back() == '\n';
}

} // namespace

void debug_line(std::string_view utf8) {
    if (ends_line(utf8)) {
        DebugSink::instance().write(utf8);
        return;
    }
    std::string line;
    line.reserve(utf8.size() + 1);
    line.append(utf8);
    line.push_back('\n');
    DebugSink::instance().write(line);
}

void debug_printf(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length >= 0) {
        std::string text(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, arguments);
        text.resize(static_cast<size_t>(length));
        debug_line(text);
    }
    va_end(arguments);
}

DebugCapture::DebugCapture() {
    DebugSink::instance().attach(this);
}

DebugCapture::~DebugCapture() {
    DebugSink::instance().detach(this);
}

std::string DebugCapture::text() const {
    std::lock_guard lock(m_mutex);
    return m_text;
}

std::vector<std::string> DebugCapture::lines() const {
    const std::string all = text();
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos) {
            end = all.size();
        }
        std::string line = all.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

void DebugCapture::append(std::string_view text) {
    std::lock_guard lock(m_mutex);
    m_text.append(text);
}

} // namespace handset

void OutputDebugStringW(LPCWSTR text) {
    if (text == nullptr) {
        return;
    }
    handset::debug_line(handset::utf16_to_utf8(text));
}
