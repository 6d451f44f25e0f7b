#include "card_files.h"

#include "commands.h"
#include "text_files.h"
#include "vcard_reader.h"

namespace handsetctl {

std::vector<VcardSource> read_card_files(Arguments& words) {
    std::vector<std::string> names;
    while (std::optional<std::string> name = words.optional_word()) {
        names.push_back(*name);
    }
    words.finish();
    if (names.empty()) {
        throw UsageError("import needs a FILE");
    }
    std::vector<VcardSource> files;
    for (const std::string& name : names) {
        files.push_back({input_name(name), vcard::VcardReader::read(read_input(
                                               name, "a file of vCards", largest_vcard_file))});
    }
    return files;
}

vcard::VcardProblem empty_card(const vcard::VcardCard& card, std::string_view what) {
    return {card.line,
            "the card from line " + std::to_string(card.line) + " has no " + std::string(what)};
}

} // namespace handsetctl
