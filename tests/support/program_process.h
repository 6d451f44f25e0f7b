// A program of the handset run as a process of its own, its standard output and error kept in a
// file for the test to read, and killed if it still runs when the test ends.
#pragma once

#include "spawn_program.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

class ProgramProcess {
  public:
    // input, when given, is the program's standard input.
    ProgramProcess(const std::vector<std::string>& arguments, std::filesystem::path output,
                   const std::filesystem::path& input = {})
        : m_output(std::move(output)) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!input.empty()) {
            posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
        }
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        m_pid = SpawnProgram(arguments, actions);
        posix_spawn_file_actions_destroy(&actions);
    }

    ~ProgramProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool started() const { return m_pid > 0; }

    void signal(int number) const {
        if (m_pid > 0) {
            ::kill(m_pid, number);
        }
    }

    // The exit code; nothing while it still runs after the timeout, -1 when it did not exit
    // normally.
    std::optional<int> wait_for_exit(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (m_pid > 0) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                m_exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                break;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                return std::nullopt;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return m_exit_code;
    }

    std::string output() const {
        std::ifstream file(m_output);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

  private:
    std::filesystem::path m_output;
    pid_t m_pid = -1;
    std::optional<int> m_exit_code;
};
