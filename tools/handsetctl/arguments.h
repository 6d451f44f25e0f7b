// The words of one handsetctl command after its name. A command takes its options first (in any
// position before a "--", which ends the options, so that a name may start with "--"), then its
// positional words in order, then calls finish(), so that every word is checked before anything
// is changed.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace handsetctl {

// A command line that does not say what to do: exit code 2, usage printed, nothing changed.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The operation was understood but failed: exit code 1 with the message.
class OperationError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class Arguments {
  public:
    // Refuses a word that is not UTF-8: stored, it would become U+FFFD and lose what was meant.
    explicit Arguments(std::vector<std::string> words);

    // The value after "--name", removed with it; nothing when the option is not given.
    std::optional<std::string> option(std::string_view name);
    // Whether "--name" is given; removed.
    bool flag(std::string_view name);
    // The next positional word; what names it in the error when there is none.
    std::string word(std::string_view what);
    std::optional<std::string> optional_word();
    // Refuses any word that no one took.
    void finish() const;

  private:
    std::optional<size_t> find(std::string_view name) const;
    void erase(size_t at, size_t count);

    std::vector<std::string> m_words;
    // Where the words after "--" begin; none of them is an option.
    size_t m_options_end;
};

// Decimal, or hexadecimal after "0x"; what names the value in the error.
long long parse_integer(std::string_view text, std::string_view what);
// An integer from low to high.
long long parse_integer(std::string_view text, std::string_view what, long long low,
                        long long high);
// A 1-based position; how far it may go is for the card or the store to say.
long long parse_index(std::string_view text, std::string_view what);
bool parse_on_off(std::string_view text, std::string_view what);

} // namespace handsetctl
