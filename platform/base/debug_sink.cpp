#include "base/debug_sink.h"

#include "base/debug_output.h"
#include "base/device_folder.h"
#include "base/write_fully.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace handset {

namespace {

// A log file removed while open (a device folder wiped and made again) would swallow every later
// line; reopening brings the file back.
bool was_removed(int descriptor) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && status.st_nlink == 0;
}

} // namespace

DebugSink& DebugSink::instance() {
    // Never destroyed: threads may still write while the process exits.
    static DebugSink* sink = new DebugSink;
    return *sink;
}

void DebugSink::write(std::string_view text) {
    std::lock_guard lock(m_mutex);
    if (!m_captures.empty()) {
        for (DebugCapture* capture : m_captures) {
            capture->append(text);
        }
        return;
    }
    const Target target = resolve_target();
    switch (target.kind) {
    case Kind::off:
        return;
    case Kind::standard_error:
        write_fully(STDERR_FILENO, text);
        return;
    case Kind::file:
        const int descriptor = descriptor_for(target.path);
        write_fully(descriptor >= 0 ? descriptor : STDERR_FILENO, text);
        return;
    }
}

void DebugSink::attach(DebugCapture* capture) {
    std::lock_guard lock(m_mutex);
    m_captures.push_back(capture);
}

void DebugSink::detach(DebugCapture* capture) {
    std::lock_guard lock(m_mutex);
    std::erase(m_captures, capture);
}

DebugSink::Target DebugSink::resolve_target() {
    const char* setting = std::getenv("TELVANE_DEBUG");
    const std::string_view choice = setting ? setting : "";
    if (choice == "off") {
        return {Kind::off, {}};
    }
    if (choice == "stderr") {
        return {Kind::standard_error, {}};
    }
    constexpr std::string_view file_prefix = "file:";
    if (choice.starts_with(file_prefix) && choice.size() > file_prefix.size()) {
        return {Kind::file, std::string(choice.substr(file_prefix.size()))};
    }
    if (!choice.empty()) {
        complain_once("TELVANE_DEBUG=" + std::string(choice) +
                      " is not stderr, file:PATH or off; using the default\n");
    }
    std::filesystem::path log = device_folder() / "debug.log";
    // The log still open there shows that the folder exists; only descriptor_for's check that the
    // file is still linked remains. This keeps a traced line to one write and one fstat.
    if (m_descriptor >= 0 && log.native() == m_open_path.native()) {
        return {Kind::file, std::move(log)};
    }
    std::error_code error;
    if (std::filesystem::is_directory(log.parent_path(), error)) {
        return {Kind::file, std::move(log)};
    }
    return {Kind::standard_error, {}};
}

// Keeps the file open between lines and reopens it only when the destination changes. Returns -1
// (after saying why, once) when the file cannot be opened.
int DebugSink::descriptor_for(const std::filesystem::path& path) {
    if (m_descriptor >= 0 && path.native() == m_open_path.native() && !was_removed(m_descriptor)) {
        return m_descriptor;
    }
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
    m_open_path = path;
    m_descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (m_descriptor < 0) {
        complain_once("debug output: cannot open " + path.string() + ": " + std::strerror(errno) +
                      "; writing to standard error\n");
        m_open_path.clear();
    }
    return m_descriptor;
}

void DebugSink::complain_once(const std::string& complaint) {
    if (std::find(m_complaints.begin(), m_complaints.end(), complaint) != m_complaints.end()) {
        return;
    }
    m_complaints.push_back(complaint);
    write_fully(STDERR_FILENO, complaint);
}

} // namespace handset
