// A scripted modem at the other end of a socketpair, for the AT driver's tests. Each command line
// it receives is answered by the first unused step of the script with that command (then by the
// last one used), else by the responder, else by a modem's usual answers (a ready card with an
// empty phonebook of 250 slots), else with ERROR. A step may leave its reply unfinished and then
// stall or close.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

class FakeModem {
  public:
    enum class Then { answer, stall, close };
    struct Step {
        std::string command;
        std::string reply; // "\r\n" line ends are added to each line
        Then then = Then::answer;
    };
    using Responder = std::function<std::optional<std::string>(const std::string& command)>;

    explicit FakeModem(std::vector<Step> script, Responder responder = {}, bool echo = false)
        : m_script(std::move(script)), m_responder(std::move(responder)), m_echo(echo) {
        socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_ends);
        m_thread = std::thread([this] { run(); });
    }
    ~FakeModem() {
        m_stop = true;
        m_thread.join();
        close_end(m_ends[0]);
        close_end(m_ends[1]);
    }

    // The driver's end; the driver closes it.
    int take_descriptor() { return std::exchange(m_ends[0], -1); }

    std::vector<std::string> commands() const {
        std::lock_guard lock(m_mutex);
        return m_commands;
    }
    size_t count(std::string_view prefix) const {
        std::lock_guard lock(m_mutex);
        return std::count_if(m_commands.begin(), m_commands.end(),
                             [&](const std::string& c) { return c.starts_with(prefix); });
    }
    // Sends a line on its own, as a modem reports something between commands.
    void report(const std::string& line) { send("\r\n" + line + "\r\n"); }

  private:
    static void close_end(int& end) {
        if (end >= 0) {
            ::close(std::exchange(end, -1));
        }
    }

    static std::string framed(const std::string& reply) {
        std::string text;
        size_t start = 0;
        while (start < reply.size()) {
            const size_t end = std::min(reply.find('\n', start), reply.size());
            text += "\r\n" + reply.substr(start, end - start) + "\r\n";
            start = end + 1;
        }
        return text;
    }

    void send(const std::string& text) {
        std::lock_guard lock(m_send_mutex);
        if (m_ends[1] >= 0) {
            ::send(m_ends[1], text.data(), text.size(), MSG_NOSIGNAL);
        }
    }

    static std::optional<std::string> usual_answer(const std::string& command) {
        static const std::map<std::string, std::string> answers = {
            {"ATE0", "OK"},
            {"AT+CMEE=1", "OK"},
            {"AT+CSCS=?", "+CSCS: (\"IRA\",\"GSM\",\"UCS2\")\nOK"},
            {"AT+CSCS=\"UCS2\"", "OK"},
            {"AT+CFUN?", "+CFUN: 1\nOK"},
            {"AT+CPBS=\"SM\"", "OK"},
            {"AT+CPBR=?", "+CPBR: (1-250),40,14\nOK"},
            {"AT+CPIN?", "+CPIN: READY\nOK"},
        };
        const auto found = answers.find(command);
        if (found != answers.end()) {
            return found->second;
        }
        // Writes and deletes succeed, and slots not in the script are empty.
        if (command.starts_with("AT+CPBW=") || command.starts_with("AT+CPBR=")) {
            return "OK";
        }
        return std::nullopt;
    }

    Step step_for(const std::string& command) {
        std::optional<size_t> last_used;
        for (size_t i = 0; i < m_script.size(); ++i) {
            if (m_script[i].command != command) {
                continue;
            }
            if (!m_used[i]) {
                m_used[i] = true;
                return m_script[i];
            }
            last_used = i;
        }
        if (last_used) {
            return m_script[*last_used];
        }
        std::optional<std::string> reply = m_responder ? m_responder(command) : std::nullopt;
        if (!reply) {
            reply = usual_answer(command);
        }
        return {command, reply.value_or("ERROR")};
    }

    // Answers one command line; false when the modem stops answering.
    bool answer(const std::string& command) {
        {
            std::lock_guard lock(m_mutex);
            m_commands.push_back(command);
        }
        if (m_echo) {
            send(command + "\r");
            m_echo = command != "ATE0";
        }
        const Step step = step_for(command);
        send(framed(step.reply));
        if (step.then == Then::close) {
            std::lock_guard lock(m_send_mutex);
            close_end(m_ends[1]);
        }
        return step.then == Then::answer;
    }

    void run() {
        std::string buffer;
        bool answering = true;
        while (!m_stop && m_ends[1] >= 0) {
            pollfd entry{m_ends[1], POLLIN, 0};
            if (poll(&entry, 1, 20) <= 0) {
                continue;
            }
            char bytes[4096];
            const ssize_t count = ::read(m_ends[1], bytes, sizeof bytes);
            if (count <= 0) {
                return;
            }
            buffer.append(bytes, static_cast<size_t>(count));
            for (size_t end; answering && (end = buffer.find('\r')) != std::string::npos;) {
                const std::string command = buffer.substr(0, end);
                buffer.erase(0, end + 1);
                answering = answer(command);
            }
        }
    }

    std::vector<Step> m_script;
    std::map<size_t, bool> m_used;
    Responder m_responder;
    bool m_echo;
    int m_ends[2] = {-1, -1};
    std::mutex m_send_mutex;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_commands;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// A responder for a full phonebook: every slot a read asks for holds the name "Name" (in UCS2)
// and the number 0301000<slot>.
inline std::optional<std::string> full_phonebook(const std::string& command) {
    int first = 0;
    int last = 0;
    if (std::sscanf(command.c_str(), "AT+CPBR=%d,%d", &first, &last) != 2) {
        return std::nullopt;
    }
    std::string reply;
    for (int slot = first; slot <= last; ++slot) {
        reply += "+CPBR: " + std::to_string(slot) + ",\"0301000" + std::to_string(slot) +
                 "\",129,\"004E0061006D0065\"\n";
    }
    return reply + "OK";
}
