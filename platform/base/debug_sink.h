// The one destination of the debug output in this process. See debug_output.h for the choice of
// destination; this class resolves it on every write, so a device folder created while a program
// runs starts receiving its log, and a test can redirect it through the environment.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

class DebugCapture;

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
    void complain_once(const std::string& complaint);

    std::mutex m_mutex;
    std::vector<DebugCapture*> m_captures;
    std::filesystem::path m_open_path;
    int m_descriptor = -1;
    std::vector<std::string> m_complaints;
};

} // namespace handset
