#include "registry/registry_store.h"

#include "base/debug_output.h"
#include "base/device_folder.h"
#include "registry/reg_file_parser.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <time.h>

namespace handset {

std::filesystem::path registry_file() {
    return device_folder() / "registry.reg";
}

RegistryStore& RegistryStore::instance() {
    // Never destroyed: detached threads may read the registry while the process exits.
    static auto* store = new RegistryStore;
    return *store;
}

std::shared_ptr<const RegistryTree> RegistryStore::current() {
    const FileStamp stamp = stamp_of(registry_file());
    std::lock_guard lock(m_mutex);
    if (m_stamp && *m_stamp == stamp && !m_stamp_is_recent) {
        return m_tree;
    }
    std::optional<std::string> text = read(stamp);
    const bool same_file = m_stamp && m_stamp->path == stamp.path;
    if (!same_file || text != m_text || !m_tree) {
        m_tree = parse(stamp, text);
        m_text = std::move(text);
    }
    m_stamp = stamp;
    m_stamp_is_recent = is_recent(stamp);
    return m_tree;
}

RegistryStore::FileStamp RegistryStore::stamp_of(const std::filesystem::path& path) {
    FileStamp stamp;
    stamp.path = path;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return stamp;
    }
    stamp.exists = true;
    stamp.device = status.st_dev;
    stamp.inode = status.st_ino;
    stamp.size = status.st_size;
    stamp.modified_ns =
        static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return stamp;
}

bool RegistryStore::is_recent(const FileStamp& stamp) {
    constexpr int64_t recent_ns = int64_t{2} * 1000000000;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const int64_t now_ns = static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
    return stamp.exists && now_ns - stamp.modified_ns < recent_ns;
}

std::optional<std::string> RegistryStore::read(const FileStamp& stamp) {
    if (!stamp.exists) {
        return std::nullopt;
    }
    std::ifstream in(stamp.path, std::ios::binary);
    if (!in) {
        report_once("registry: cannot read " + stamp.path.string() + ": " + std::strerror(errno) +
                    "; every key reads as missing");
        return std::nullopt;
    }
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::shared_ptr<const RegistryTree> RegistryStore::parse(const FileStamp& stamp,
                                                         const std::optional<std::string>& text) {
    const std::string name = stamp.path.string();
    if (!stamp.exists) {
        report_once("registry: there is no " + name + "; every key reads as missing");
    }
    if (!text) {
        return std::make_shared<const RegistryTree>();
    }
    RegFileParser parser([&](const RegFileParser::Problem& problem) {
        report_once("registry: " + name + ":" + std::to_string(problem.line_number) + ": " +
                    std::string(problem.text));
    });
    return std::make_shared<const RegistryTree>(parser.parse(*text));
}

// A bad line stays bad across reloads of a file that changed elsewhere; it is reported once.
void RegistryStore::report_once(const std::string& report) {
    if (m_reported.insert(report).second) {
        debug_line(report);
    }
}

} // namespace handset
