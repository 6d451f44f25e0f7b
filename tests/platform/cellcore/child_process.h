// Another process for tests that need two: started with its standard output on a pipe, read a
// line at a time, killed if it is still running when the test ends.
#pragma once

#include "../../support/spawn_program.h"

#include <csignal>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class ChildProcess {
  public:
    explicit ChildProcess(const std::vector<std::string>& arguments) {
        int pipe_ends[2];
        if (::pipe(pipe_ends) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
        m_pid = SpawnProgram(arguments, actions);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipe_ends[1]);
        m_output = pipe_ends[0];
    }

    ~ChildProcess() {
        if (m_pid > 0) {
            kill();
            wait();
        }
        if (m_output >= 0) {
            ::close(m_output);
        }
    }

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }

    // The next line of output without its "\n"; nothing once the output has ended.
    std::optional<std::string> read_line() {
        std::string line;
        char character;
        for (;;) {
            const ssize_t got = ::read(m_output, &character, 1);
            if (got <= 0) {
                return line.empty() ? std::nullopt : std::optional<std::string>(line);
            }
            if (character == '\n') {
                return line;
            }
            line.push_back(character);
        }
    }

    void kill() { ::kill(m_pid, SIGKILL); }

    // The exit status, or -1 when the process did not exit normally.
    int wait() {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t m_pid = -1;
    int m_output = -1;
};
