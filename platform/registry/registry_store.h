// The registry of this process: the device folder's registry.reg, read when first needed and
// read again whenever the file has been replaced or changed since (another process, such as
// handsetctl, may change it while a program runs). Readers get an immutable snapshot, so a
// reload never changes a tree under a thread that is reading it.
#pragma once

#include "registry/registry_tree.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace handset {

std::filesystem::path registry_file();

class RegistryStore {
  public:
    static RegistryStore& instance();

    std::shared_ptr<const RegistryTree> current();

  private:
    RegistryStore() = default;

    // What tells one version of the file from the next: a replacing rename changes the inode,
    // an edit in place the size or the modification time. File times move in coarse steps and
    // inodes are reused, so two versions written within one step can share a stamp; a file
    // changed that recently is compared by content instead (as git does with "racy" files).
    struct FileStamp {
        std::filesystem::path path;
        bool exists = false;
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = 0;
        int64_t modified_ns = 0;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };

    static FileStamp stamp_of(const std::filesystem::path& path);
    static bool is_recent(const FileStamp& stamp);
    std::optional<std::string> read(const FileStamp& stamp);
    std::shared_ptr<const RegistryTree> parse(const FileStamp& stamp,
                                              const std::optional<std::string>& text);
    void report_once(const std::string& report);

    std::mutex m_mutex;
    std::optional<FileStamp> m_stamp;
    bool m_stamp_is_recent = false;
    std::optional<std::string> m_text; // nothing when the file could not be read
    std::shared_ptr<const RegistryTree> m_tree;
    std::set<std::string> m_reported;
};

} // namespace handset
