#include "base/debug_output.h"

#include "base/debug_sink.h"
#include "base/utf.h"
#include "base/visible_text.h"

#include <winbase.h>

#include <cstdarg>
#include <cstdio>

namespace handset {

namespace {

// Where the line breaks that end text begin: "\n" and "\r\n" at its end stay as they are, so a
// caller's empty lines are kept, while any control character before them is escaped.
size_t end_of_body(std::string_view text) {
    size_t end = text.size();
    while (end > 0 && text[end - 1] == '\n') {
        --end;
        if (end > 0 && text[end - 1] == '\r') {
            --end;
        }
    }
    return end;
}

} // namespace

void debug_line(std::string_view utf8) {
    const size_t body = end_of_body(utf8);
    std::string line = visible_text(utf8.substr(0, body));
    line.append(utf8.substr(body));
    if (body == utf8.size()) {
        line.push_back('\n');
    }
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
