// Runs a program as a user who may only read the device: as the test's own user when that is not
// root, who is then held back by the device's permissions, and as nobody when it is root, whom no
// permission holds back. Its standard output and error go to a file; a run that outlasts the
// timeout is killed and reported as such.
#pragma once

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

struct ReaderRun {
    // Nothing when the run was killed at the timeout or did not end normally.
    std::optional<int> code;
    std::string output;
};

// The user the reader runs as when the test is root.
inline constexpr uid_t kReaderUser = 65534;

inline ReaderRun RunAsReader(const std::vector<std::string>& arguments,
                             const std::filesystem::path& output,
                             std::chrono::milliseconds timeout) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int file = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(file, STDOUT_FILENO);
        ::dup2(file, STDERR_FILENO);
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, STDIN_FILENO);
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kReaderUser) != 0 ||
                                 ::setuid(kReaderUser) != 0)) {
            ::_exit(126);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ReaderRun run;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            status = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (pid > 0 && status != -1 && WIFEXITED(status)) {
        run.code = WEXITSTATUS(status);
    }
    std::ifstream in(output);
    std::ostringstream text;
    text << in.rdbuf();
    run.output = text.str();
    return run;
}

// Makes a device folder, and the folders above it up to top, readable and enterable by every
// user and writable by none, as a device on read-only storage is to its reader.
inline void MakeReadOnly(const std::filesystem::path& device, const std::filesystem::path& top) {
    using std::filesystem::perms;
    for (const auto& entry : std::filesystem::directory_iterator(device)) {
        std::filesystem::permissions(entry.path(),
                                     perms::owner_read | perms::group_read | perms::others_read);
    }
    for (std::filesystem::path folder = device;; folder = folder.parent_path()) {
        std::filesystem::permissions(folder, perms::owner_read | perms::owner_exec |
                                                 perms::group_read | perms::group_exec |
                                                 perms::others_read | perms::others_exec);
        if (folder == top || !folder.has_relative_path()) {
            break;
        }
    }
}
