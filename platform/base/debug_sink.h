// The one destination of the debug output in this process. See debug_output.h for the choice of
// destination; this class resolves it on every write, so a device folder created while a program
// runs starts receiving its log, and a test can redirect it through the environment.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

class DebugCapture;

// The size at which a log file is moved aside as "<log>.1" and a new one begun. A start on a
// card of 1000 slots traces about 90 KB, so this keeps the last dozen starts or so.
inline constexpr off_t debug_log_limit = 1024 * 1024;

class DebugSink {
  public:
    static DebugSink& instance();

    // Writes text, which already ends in a line break, as one piece.
    void write(std::string_view text);

    void attach(DebugCapture* capture);
    void detach(DebugCapture* capture);

  private:
    DebugSink() = default;

    enum class Kind { off, standard_error, file };
    struct Target {
        Kind kind;
        std::filesystem::path path;
    };

    Target resolve_target();
    int descriptor_for(const std::filesystem::path& path);
    bool still_the_log(const std::filesystem::path& path);
    void move_aside(const std::filesystem::path& path, const struct stat& open);
    void complain_once(const std::string& complaint);

    std::mutex m_mutex;
    std::vector<DebugCapture*> m_captures;
    std::filesystem::path m_open_path;
    int m_descriptor = -1;
    std::vector<std::string> m_complaints;
};

} // namespace handset
