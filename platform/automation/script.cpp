#include "automation/script.h"

#include "base/utf.h"
#include "user/builtin_classes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <fstream>
#include <sstream>

namespace handset {

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

// Thrown inside the parser only; parse_script turns it into a ScriptError with the line.
struct LineError {
    std::string message;
};

struct KeyName {
    std::string_view name;
    UINT key;
};

constexpr std::array<KeyName, 22> key_names{{
    {"softkey1", VK_TSOFT1}, {"softkey2", VK_TSOFT2}, {"talk", VK_TTALK},    {"f1", VK_F1},
    {"f2", VK_F2},           {"f3", VK_F3},           {"f4", VK_F4},         {"f5", VK_F5},
    {"return", VK_RETURN},   {"enter", VK_RETURN},    {"escape", VK_ESCAPE}, {"tab", VK_TAB},
    {"back", VK_BACK},       {"space", VK_SPACE},     {"up", VK_UP},         {"down", VK_DOWN},
    {"left", VK_LEFT},       {"right", VK_RIGHT},     {"home", VK_HOME},     {"end", VK_END},
    {"delete", VK_DELETE},   {"shift", VK_SHIFT},
}};

// What a backslash and the character after it stand for in a quoted text. Any other pair is a
// mistake (a Windows path, a \r) that taken as its second character would type something else.
char escaped(char next) {
    switch (next) {
    case 'n':
        return '\n';
    case 't':
        return '\t';
    case '"':
    case '\\':
        return next;
    }
    throw LineError{std::string("unknown escape \"\\") + next +
                    "\" in a quoted text: only \\\", \\\\, \\n and \\t are known"};
}

std::vector<Token> split(std::string_view line) {
    std::vector<Token> tokens;
    size_t at = 0;
    while (at < line.size()) {
        if (line[at] == ' ' || line[at] == '\t') {
            ++at;
            continue;
        }
        Token token;
        if (line[at] == '"') {
            token.quoted = true;
            ++at;
            while (at < line.size() && line[at] != '"') {
                if (line[at] == '\\' && at + 1 < line.size()) {
                    ++at;
                    token.text += escaped(line[at]);
                } else {
                    token.text += line[at];
                }
                ++at;
            }
            if (at == line.size()) {
                throw LineError{"a quoted text has no closing quote"};
            }
            ++at;
        } else {
            while (at < line.size() && line[at] != ' ' && line[at] != '\t') {
                token.text += line[at++];
            }
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

// A non-negative whole number, decimal or 0x hexadecimal, that fits in 31 bits.
long number(const std::string& text, const char* what) {
    std::string_view digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    long value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        value < 0 || value > 0x7FFFFFFF) {
        throw LineError{"bad number \"" + text + "\" for " + what};
    }
    return value;
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

// Reads the tokens of one step from the front, so that each step takes what it needs and an
// argument left over is an error.
class Arguments {
  public:
    Arguments(std::vector<Token> tokens, std::string step)
        : m_tokens(std::move(tokens)), m_step(std::move(step)) {}

    bool empty() const { return m_at == m_tokens.size(); }
    const Token* peek() const { return empty() ? nullptr : &m_tokens[m_at]; }
    bool next_is(std::string_view word) const {
        return peek() != nullptr && !peek()->quoted && lowered(peek()->text) == word;
    }

    Token take(const char* what) {
        if (empty()) {
            throw LineError{m_step + " needs " + what};
        }
        return m_tokens[m_at++];
    }
    long take_number(const char* what) { return number(take(what).text, what); }

    void finish() const {
        if (!empty()) {
            throw LineError{"unexpected \"" + m_tokens[m_at].text + "\" after " + m_step};
        }
    }

  private:
    std::vector<Token> m_tokens;
    size_t m_at = 0;
    std::string m_step;
};

// [dialog] and any of: "text", text "T", class "C", id N.
WindowQuery window_query(Arguments& arguments) {
    WindowQuery query;
    bool named = false;
    while (const Token* token = arguments.peek()) {
        if (token->quoted) {
            query.text = utf8_to_utf16(arguments.take("a text").text);
        } else if (arguments.next_is("dialog")) {
            arguments.take("dialog");
            query.class_name = dialog_class_name;
        } else if (arguments.next_is("text")) {
            arguments.take("text");
            query.text = utf8_to_utf16(arguments.take("the window's text").text);
        } else if (arguments.next_is("class")) {
            arguments.take("class");
            query.class_name = utf8_to_utf16(arguments.take("the window's class").text);
        } else if (arguments.next_is("id")) {
            arguments.take("id");
            query.id = static_cast<UINT_PTR>(arguments.take_number("the window's id"));
        } else {
            break;
        }
        named = true;
    }
    if (!named) {
        throw LineError{"the step needs a window: dialog, \"text\", text, class or id"};
    }
    return query;
}

std::optional<std::chrono::milliseconds> within(Arguments& arguments) {
    if (!arguments.next_is("within")) {
        return std::nullopt;
    }
    arguments.take("within");
    return std::chrono::milliseconds(arguments.take_number("within"));
}

void parse_target(Arguments& arguments, ScriptStep& step) {
    const Token* first = arguments.peek();
    if (first != nullptr && !first->quoted && !first->text.empty() &&
        std::isdigit(static_cast<unsigned char>(first->text[0]))) {
        const LONG x = arguments.take_number("the x coordinate");
        const LONG y = arguments.take_number("the y coordinate");
        step.point = POINT{x, y};
        return;
    }
    step.window = window_query(arguments);
    step.timeout = within(arguments);
}

UINT key_code(const Token& token) {
    const std::string name = lowered(token.text);
    for (const KeyName& entry : key_names) {
        if (entry.name == name) {
            return entry.key;
        }
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        return static_cast<UINT>(std::toupper(static_cast<unsigned char>(name[0])));
    }
    if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0]))) {
        const long code = number(token.text, "key");
        if (code > 0xFF) {
            throw LineError{"bad number \"" + token.text + "\" for key"};
        }
        return static_cast<UINT>(code);
    }
    throw LineError{"unknown key \"" + token.text + "\""};
}

std::optional<StepKind> step_named(const std::string& word) {
    static constexpr std::array<std::pair<std::string_view, StepKind>, 12> names{{
        {"wait", StepKind::wait},
        {"idle", StepKind::idle},
        {"tap", StepKind::tap},
        {"hold", StepKind::hold},
        {"key", StepKind::key},
        {"type", StepKind::type},
        {"expect-box", StepKind::expect_box},
        {"answer", StepKind::answer},
        {"screenshot", StepKind::screenshot},
        {"dump", StepKind::dump},
        {"close", StepKind::close},
        {"timeout", StepKind::timeout},
    }};
    for (const auto& [name, kind] : names) {
        if (name == word) {
            return kind;
        }
    }
    return std::nullopt;
}

void parse_arguments(Arguments& arguments, ScriptStep& step) {
    switch (step.kind) {
    case StepKind::wait:
        step.window = window_query(arguments);
        step.timeout = within(arguments);
        return;
    case StepKind::tap:
    case StepKind::hold:
        parse_target(arguments, step);
        return;
    case StepKind::key:
        step.key = key_code(arguments.take("a key"));
        return;
    case StepKind::type:
        step.text = utf8_to_utf16(arguments.take("a text").text);
        return;
    case StepKind::expect_box:
        step.text = utf8_to_utf16(arguments.take("the box's text").text);
        if (arguments.peek() != nullptr && arguments.peek()->quoted) {
            step.caption = utf8_to_utf16(arguments.take("the box's caption").text);
        }
        step.timeout = within(arguments);
        return;
    case StepKind::idle:
    case StepKind::answer:
        step.timeout = within(arguments);
        return;
    case StepKind::close:
        step.timeout = within(arguments);
        return;
    case StepKind::screenshot:
        step.file = arguments.take("a file name").text;
        return;
    case StepKind::dump:
        if (!arguments.empty()) {
            step.file = arguments.take("a file name").text;
        }
        return;
    case StepKind::timeout:
        step.timeout = std::chrono::milliseconds(arguments.take_number("timeout"));
        return;
    }
}

ScriptStep parse_step(std::string_view line, int number_of_line) {
    std::vector<Token> tokens = split(line);
    const Token word = tokens.front();
    tokens.erase(tokens.begin());
    const std::optional<StepKind> kind = word.quoted ? std::nullopt : step_named(word.text);
    if (!kind) {
        throw LineError{"unknown step \"" + word.text + "\""};
    }
    ScriptStep step;
    step.line = number_of_line;
    step.source = std::string(line);
    step.kind = *kind;
    Arguments arguments(std::move(tokens), word.text);
    parse_arguments(arguments, step);
    arguments.finish();
    return step;
}

std::string_view trimmed(std::string_view line) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return std::string_view();
    }
    const size_t last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

} // namespace

std::variant<Script, ScriptError> parse_script(std::string_view text) {
    Script script;
    int line_number = 0;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        ++line_number;
        const std::string_view line = trimmed(text.substr(at, end - at));
        at = end + 1;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        try {
            script.steps.push_back(parse_step(line, line_number));
        } catch (const LineError& error) {
            return ScriptError{line_number, error.message};
        }
    }
    return script;
}

std::variant<Script, ScriptError> load_script(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return ScriptError{0, path.string() + " is a folder, not a script"};
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return ScriptError{0, "cannot read the script " + path.string()};
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parse_script(text.str());
}

} // namespace handset
