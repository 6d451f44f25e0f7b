// A pcscd of the test's own, with one reader: vsmartcard's virtual reader (vpcd) on a free TCP
// port, where a virtual card connects as a client. It is stopped when the object ends.
//
// pcscd keeps its pid file and its client socket in /run/pcscd and refuses to start while the pid
// file names a live daemon, so tests run side by side (ctest -j) would meet there. Each daemon
// therefore runs in a mount namespace of its own, in which the test's folder is mounted over /run:
// its files land in the test's folder, and no other pcscd (the system's or another test's) sees
// them. unshare makes the namespace: as root directly, otherwise as root of a user namespace that
// maps the caller (--map-root-user), which the kernel must allow unprivileged users. Debian's
// pcscd 1.9 reads the socket's name from no setting, so the clients are pointed at the one in the
// test's folder with PCSCLITE_CSOCK_NAME, which libpcsclite does read. That pcscd is built without
// polkit; a pcscd with polkit (2.0 on) is started with --disable-polkit where it offers it, so
// that no desktop policy decides whether the test's clients may talk to it.
//
// When the daemon cannot be started here (no pcscd, no namespaces), started() is false and
// problem() says why, for the test's failure.
#pragma once

#include "spawn_program.h"

#include "cellcore/pcsc_transport.h"

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

class PcscDaemon {
  public:
    static constexpr const char* pcscd = "/usr/sbin/pcscd";
    static constexpr const char* unshare = "/usr/bin/unshare";
    static constexpr const char* vpcd_driver = "/usr/lib/pcsc/drivers/serial/libifdvpcd.so";
    static constexpr const char* friendly_name = "Telvane vpcd";

    // Starts the daemon with its files in folder, which must exist and outlive it.
    explicit PcscDaemon(const std::filesystem::path& folder)
        : m_run(folder / "run"), m_config(folder / "reader.conf.d"), m_log(folder / "pcscd.log") {
        for (const char* needed : {pcscd, unshare, vpcd_driver}) {
            if (!std::filesystem::exists(needed)) {
                m_problem = std::string(needed) + " is not installed";
                return;
            }
        }
        m_port = free_port_pair();
        if (m_port == 0) {
            m_problem = "no two free TCP ports side by side for vpcd";
            return;
        }
        std::filesystem::create_directories(m_run);
        std::filesystem::create_directories(m_config);
        write_reader_config();
        start();
    }

    ~PcscDaemon() { stop(); }

    PcscDaemon(const PcscDaemon&) = delete;
    PcscDaemon& operator=(const PcscDaemon&) = delete;

    bool started() const { return m_problem.empty(); }
    const std::string& problem() const { return m_problem; }

    // Where the clients connect: give it to them as PCSCLITE_CSOCK_NAME.
    std::filesystem::path socket_path() const { return m_run / "pcscd" / "pcscd.comm"; }
    // Where a virtual card connects to be in the reader.
    uint16_t vpcd_port() const { return m_port; }
    // The reader as pcscd lists it. vpcd offers a second reader on the port after, which the
    // tests leave empty.
    std::string reader_name() const {
        std::ostringstream name;
        name << friendly_name << " 00 00";
        return name.str();
    }

    // Points this process's PC/SC clients, and the programs it starts from now on, at this
    // daemon. libpcsclite reads the name once per process, at its first context.
    void use_in_this_process() const { ::setenv("PCSCLITE_CSOCK_NAME", socket_path().c_str(), 1); }

    // pcscd looks at its readers a few times a second, so a card that has just come is in the
    // reader for PC/SC clients a moment later. Whether it is there within the limit; call it after
    // use_in_this_process().
    bool wait_for_card(std::chrono::milliseconds limit) const {
        const std::unique_ptr<handset::PcscTransport> reader =
            handset::PcscTransport::open(reader_name());
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (reader && std::chrono::steady_clock::now() < deadline) {
            if (reader->card_present()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    std::string log() const {
        std::ifstream file(m_log);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    // Ends the daemon: SIGTERM, and SIGKILL if it is still there a while later.
    void stop() {
        if (m_pid <= 0) {
            return;
        }
        ::kill(m_pid, SIGTERM);
        if (!exited_within(std::chrono::seconds(3))) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }

  private:
    static bool can_bind(uint16_t port) {
        const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        const bool free = ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(probe);
        return free;
    }

    // A port the kernel hands out as free, whose next one is free too: vpcd listens on both.
    static uint16_t free_port_pair() {
        for (int attempt = 0; attempt < 50; ++attempt) {
            const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_ANY);
            socklen_t size = sizeof address;
            ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
            ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
            ::close(probe);
            const uint16_t port = ntohs(address.sin_port);
            if (port != 0 && port < 65535 && can_bind(port + 1)) {
                return port;
            }
        }
        return 0;
    }

    void write_reader_config() const {
        std::ofstream file(m_config / "vpcd");
        file << "FRIENDLYNAME \"" << friendly_name << "\"\n"
             << "DEVICENAME /dev/null:" << m_port << "\n"
             << "LIBPATH " << vpcd_driver << "\n"
             << "CHANNELID " << m_port << "\n";
    }

    static bool offers_option(const char* option) {
        std::ostringstream command;
        command << pcscd << " --help 2>&1";
        FILE* help = ::popen(command.str().c_str(), "r");
        if (!help) {
            return false;
        }
        std::string text;
        std::array<char, 512> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), help)) {
            text += buffer.data();
        }
        ::pclose(help);
        return text.find(option) != std::string::npos;
    }

    std::vector<std::string> command() const {
        std::vector<std::string> arguments{unshare, "--mount"};
        if (::geteuid() != 0) {
            arguments.push_back("--map-root-user");
        }
        std::ostringstream script;
        script << "mount --bind \"$0\" /run && exec " << pcscd << " --foreground --config \"$1\"";
        if (offers_option("--disable-polkit")) {
            script << " --disable-polkit";
        }
        arguments.insert(arguments.end(),
                         {"/bin/sh", "-c", script.str(), m_run.string(), m_config.string()});
        return arguments;
    }

    void start() {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_log.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        m_pid = SpawnProgram(command(), actions);
        posix_spawn_file_actions_destroy(&actions);
        if (m_pid <= 0) {
            m_problem = "cannot start unshare";
            return;
        }
        wait_until_ready();
    }

    // Ready once the client socket is there and vpcd listens.
    void wait_until_ready() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            if (exited_within(std::chrono::milliseconds(0))) {
                m_pid = -1;
                m_problem =
                    "pcscd ended at once (a mount namespace may not be allowed here): " + log();
                return;
            }
            if (std::filesystem::exists(socket_path()) && listening(m_port)) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        m_problem = "pcscd did not get ready: " + log();
        stop();
    }

    // Whether some process listens on the TCP port, looked up without connecting: vpcd takes any
    // connection for a card.
    static bool listening(uint16_t port) {
        constexpr const char* listen_state = "0A";
        for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
            std::ifstream file(table);
            std::string line;
            std::getline(file, line);
            while (std::getline(file, line)) {
                std::istringstream fields(line);
                std::string slot, local, remote, state;
                fields >> slot >> local >> remote >> state;
                const size_t colon = local.rfind(':');
                if (colon != std::string::npos && state == listen_state &&
                    std::stoul(local.substr(colon + 1), nullptr, 16) == port) {
                    return true;
                }
            }
        }
        return false;
    }

    bool exited_within(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        do {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                return true;
            }
            if (limit.count() > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        } while (std::chrono::steady_clock::now() < deadline);
        return false;
    }

    std::filesystem::path m_run;
    std::filesystem::path m_config;
    std::filesystem::path m_log;
    uint16_t m_port = 0;
    pid_t m_pid = -1;
    std::string m_problem;
};
