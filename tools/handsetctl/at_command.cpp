#include "at_command.h"

#include <algorithm>
#include <cctype>

namespace handsetctl {

namespace {

char upper(char character) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
}

bool is_letter(char character) {
    return std::isalpha(static_cast<unsigned char>(character));
}
bool is_digit(char character) {
    return std::isdigit(static_cast<unsigned char>(character));
}

// The characters V.250 allows in an extended command's name after its prefix.
bool is_name_character(char character) {
    return is_letter(character) || is_digit(character) ||
           std::string_view("!%-./:_").find(character) != std::string_view::npos;
}

bool is_extended_prefix(char character) {
    return std::string_view("+$^%*#").find(character) != std::string_view::npos;
}

std::string without_spaces(std::string_view body) {
    std::string text;
    bool quoted = false;
    for (char character : body) {
        quoted = character == '"' ? !quoted : quoted;
        if (quoted || character != ' ') {
            text.push_back(character);
        }
    }
    return text;
}

// Reads one command from text at `at` onwards, leaving `at` after it (and after its ';').
class Reader {
  public:
    explicit Reader(std::string text) : m_text(std::move(text)) {}

    bool done() const { return m_at == m_text.size(); }

    std::optional<AtCommand> command() {
        const char first = upper(m_text[m_at]);
        if (is_extended_prefix(first)) {
            return extended();
        }
        if (first == 'D') {
            ++m_at;
            AtCommand dial{"D", AtCommand::Form::action, m_text.substr(m_at)};
            m_at = m_text.size();
            return dial;
        }
        if (first == '&' || is_letter(first)) {
            return basic();
        }
        return std::nullopt;
    }

  private:
    std::optional<AtCommand> basic() {
        AtCommand command;
        if (m_text[m_at] == '&') {
            command.name.push_back(m_text[m_at++]);
        }
        if (done() || !is_letter(m_text[m_at])) {
            return std::nullopt;
        }
        command.name.push_back(upper(m_text[m_at++]));
        while (!done() && is_digit(m_text[m_at])) {
            command.argument.push_back(m_text[m_at++]);
        }
        return command;
    }

    std::optional<AtCommand> extended() {
        AtCommand command;
        command.name.push_back(m_text[m_at++]);
        while (!done() && is_name_character(m_text[m_at])) {
            command.name.push_back(upper(m_text[m_at++]));
        }
        if (command.name.size() == 1) {
            return std::nullopt;
        }
        if (take("=?")) {
            command.form = AtCommand::Form::test;
        } else if (take("=")) {
            command.form = AtCommand::Form::set;
            command.argument = set_argument();
        } else if (take("?")) {
            command.form = AtCommand::Form::read;
        }
        if (!done() && !take(";") && command.form != AtCommand::Form::action) {
            return std::nullopt;
        }
        return command;
    }

    std::string set_argument() {
        const size_t start = m_at;
        bool quoted = false;
        while (!done() && (quoted || m_text[m_at] != ';')) {
            quoted = m_text[m_at++] == '"' ? !quoted : quoted;
        }
        return m_text.substr(start, m_at - start);
    }

    bool take(std::string_view expected) {
        if (m_text.compare(m_at, expected.size(), expected) != 0) {
            return false;
        }
        m_at += expected.size();
        return true;
    }

    std::string m_text;
    size_t m_at = 0;
};

std::optional<AtParameter> parameter(std::string_view text) {
    if (text.empty() || text.front() != '"') {
        if (text.find('"') != std::string_view::npos) {
            return std::nullopt;
        }
        return AtParameter{std::string(text), false};
    }
    if (text.size() < 2 || text.back() != '"') {
        return std::nullopt;
    }
    return AtParameter{std::string(text.substr(1, text.size() - 2)), true};
}

} // namespace

std::optional<std::vector<AtParameter>> AtCommand::parameters() const {
    std::vector<AtParameter> found;
    size_t start = 0;
    bool quoted = false;
    for (size_t at = 0; at <= argument.size(); ++at) {
        if (at < argument.size() && (quoted || argument[at] != ',')) {
            quoted = argument[at] == '"' ? !quoted : quoted;
            continue;
        }
        std::optional<AtParameter> next =
            parameter(std::string_view(argument).substr(start, at - start));
        if (!next || quoted) {
            return std::nullopt;
        }
        found.push_back(std::move(*next));
        start = at + 1;
    }
    return found;
}

std::optional<uint32_t> decimal_value(const AtParameter& parameter) {
    const std::string& digits = parameter.text;
    if (parameter.quoted || digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), is_digit)) {
        return std::nullopt;
    }
    return digits.size() > 9 ? 999'999'999 : static_cast<uint32_t>(std::stoul(digits));
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return upper(x) == upper(y); });
}

std::optional<std::vector<AtCommand>> parse_command_line(std::string_view body) {
    Reader reader(without_spaces(body));
    std::vector<AtCommand> commands;
    while (!reader.done()) {
        std::optional<AtCommand> command = reader.command();
        if (!command) {
            return std::nullopt;
        }
        commands.push_back(std::move(*command));
    }
    return commands;
}

} // namespace handsetctl
