#include "base/debug_sink.h"

#include "base/debug_output.h"
#include "base/device_folder.h"
#include "base/write_fully.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace handset {

namespace {} // namespace

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

// Keeps the file open between lines and reopens it only when the destination changes or the
// open file stopped being the log. Returns -1 (after saying why, once) when the file cannot be
// opened.
int DebugSink::descriptor_for(const std::filesystem::path& path) {
    if (m_descriptor >= 0 && path.native() == m_open_path.native() && still_the_log(path)) {
        return m_descriptor;
    }
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
    m_open_path = path;
    // The log holds names and numbers from the card: for this user only.
    m_descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (m_descriptor < 0) {
        complain_once("debug output: cannot open " + path.string() + ": " + std::strerror(errno) +
                      "; writing to standard error\n");
        m_open_path.clear();
    }
    return m_descriptor;
}

// The open log stops being the log when it was removed (a device folder wiped and made again:
// every later line would be swallowed) or once it has reached debug_log_limit, when it is moved
// aside. The one fstat is all a line costs while neither happens.
bool DebugSink::still_the_log(const std::filesystem::path& path) {
    struct stat open {};
    if (::fstat(m_descriptor, &open) != 0 || open.st_nlink == 0) {
        return false;
    }
    if (open.st_size < debug_log_limit) {
        return true;
    }
    move_aside(path, open);
    return false;
}

// Renames the full log to "<log>.1", replacing the older one, so the device keeps two logs at
// most. Every process that shares the log finds it full and comes here; under the full file's own
// lock, only the first, which still finds that file at path, moves it. The others, like this one,
// then open the new log.
void DebugSink::move_aside(const std::filesystem::path& path, const struct stat& open) {
    while (::flock(m_descriptor, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat named {};
    if (::stat(path.c_str(), &named) == 0 && named.st_ino == open.st_ino &&
        named.st_dev == open.st_dev) {
        const std::string older = path.string() + ".1";
        ::rename(path.c_str(), older.c_str());
    }
    ::flock(m_descriptor, LOCK_UN);
}

void DebugSink::complain_once(const std::string& complaint) {
    if (std::find(m_complaints.begin(), m_complaints.end(), complaint) != m_complaints.end()) {
        return;
    }
    m_complaints.push_back(complaint);
    write_fully(STDERR_FILENO, complaint);
}

} // namespace handset
