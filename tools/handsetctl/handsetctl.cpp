#include "handsetctl.h"

#include "commands.h"

#include "base/device_folder.h"
#include "cellcore/card_error.h"
#include "device/device_initialiser.h"

#include <array>

namespace handsetctl {

namespace {

constexpr const char* usage = R"(usage: handsetctl [--device DIR] COMMAND ...
  init [--profile plain|usim] [--screen qvga|vga] [--language 0x0409] [--empty]
       [--modem PORT [--baud N] | --reader NAME|auto]
  driver [show] | emulated | modem PORT [--baud N] | reader NAME|auto | stop
                                             (the card's driver; stop ends its service)
  status
  sim insert|remove|invalid
  sim lock none|pin|puk
  sim verify [--last-try]                    checks the PIN, read from the terminal (without
                                             echo) or from standard input; refuses the last
                                             try without --last-try
  sim fdn on|off
  sim phonebook-ready on|off
  sim profile [--slots N] [--name-bytes N] [--number-digits N]
              [--number2-digits N] [--email-bytes N]
  sim export-adn FILE | import-adn FILE      (FILE - is standard output or input)
  radio on|off
  phonebook list | clear | delete INDEX
  phonebook add NAME NUMBER [--index N] [--number2 NUMBER] [--email ADDRESS]
  phonebook export FILE [--version 3.0|4.0] | import FILE... [--shorten]
                                             (vCards; FILE - is standard output or input)
  contacts list | delete INDEX | quota BYTES
  contacts add [--first NAME] [--last NAME] [--mobile N] [--home N] [--business N]
  contacts export FILE [--version 3.0|4.0] | import FILE...
  reg get KEY VALUE
  reg set KEY VALUE (--dword N | --string TEXT)
  reg delete KEY [VALUE]
  calls
  fault add OPERATION [--slot N] [--nth N | --after N] [--error CODE] | list | clear
                                             (handsetctl fault --help)
  extension register CLSID PATH | unregister CLSID | list
                                             (handsetctl extension --help)
  modem serve [--pty | --stdio] [--baud N]   the card as a GSM modem to AT clients: on a
                                             pseudo-terminal whose path is printed, until
                                             SIGTERM or SIGINT, or on standard input and output
                                             (the default) until the input ends; --baud paces
                                             the replies as a serial line of N baud
  card serve --vpcd [[HOST:]PORT] [--pin-file FILE]
                                             the card in vsmartcard's virtual reader (vpcd, by
                                             default at 127.0.0.1:35963) until SIGTERM or SIGINT;
                                             its PIN is 0000 or the first line of FILE
The device folder is --device DIR, else $TELVANE_DEVICE, else $XDG_DATA_HOME/telvane/device.
A -- ends the options: the words after it are taken as they are, even one starting with --.
init's --language is the interface language (0x0409 English, 0x0407 German); without it, the
language of the desktop's locale (LC_ALL, LC_MESSAGES, LANG), else English.
)";

struct Command {
    std::string_view name;
    void (*run)(Arguments&, std::ostream&);
    // Its own --help, for a command with more to say than a line of the usage.
    const char* const* help = nullptr;
};

constexpr std::array<Command, 13> commands{{
    {"init", init_command},
    {"driver", driver_command},
    {"status", status_command},
    {"sim", sim_command},
    {"radio", radio_command},
    {"phonebook", phonebook_command},
    {"contacts", contacts_command},
    {"reg", registry_command},
    {"calls", calls_command},
    {"fault", fault_command, &fault_usage},
    {"extension", extension_command, &extension_usage},
    {"modem", modem_command},
    {"card", card_command},
}};

// The help of the command named, or the usage of them all.
const char* help_for(Arguments& words) {
    words.option("--device");
    const std::optional<std::string> name = words.optional_word();
    for (const Command& command : commands) {
        if (name && command.name == *name && command.help) {
            return *command.help;
        }
    }
    return usage;
}

void run(Arguments& words, std::ostream& out) {
    if (std::optional<std::string> folder = words.option("--device")) {
        if (folder->empty()) {
            throw UsageError("--device needs a folder");
        }
        handset::set_device_folder(*folder);
    }
    const std::string name = words.word("the command");
    for (const Command& command : commands) {
        if (command.name == name) {
            command.run(words, out);
            return;
        }
    }
    throw UsageError("unknown command '" + name + "'");
}

int failed(std::ostream& err, const char* message) {
    err << "handsetctl: " << message << "\n";
    return exit_failed;
}

// What was printed must have reached its reader: a listing cut short by a full disk or a closed
// pipe is a failure, not a success.
int finished(std::ostream& out, std::ostream& err) {
    if (!out.flush()) {
        return failed(err, "cannot write to the standard output");
    }
    return exit_done;
}

} // namespace

int run_handsetctl(std::vector<std::string> arguments, std::ostream& out, std::ostream& err) {
    try {
        Arguments words(std::move(arguments));
        if (words.flag("--help")) {
            out << help_for(words);
            return finished(out, err);
        }
        run(words, out);
        return finished(out, err);
    } catch (const UsageError& error) {
        err << "handsetctl: " << error.what() << "\n" << usage;
        return exit_usage;
    } catch (const OperationError& error) {
        return failed(err, error.what());
    } catch (const handset::CardError& error) {
        return failed(err, error.what());
    } catch (const handset::DeviceError& error) {
        return failed(err, error.what());
    }
}

} // namespace handsetctl
