// Starts a program as a process of its own with the given file actions (its first argument is
// the program's path), in this process's environment. -1 when it cannot be started.
#pragma once

#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <unistd.h> // environ
#include <vector>

inline pid_t SpawnProgram(const std::vector<std::string>& arguments,
                          const posix_spawn_file_actions_t& actions) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (argv[0] == nullptr ||
        posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    return pid;
}
