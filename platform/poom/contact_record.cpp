#include "poom/contact_record.h"

namespace handset {

namespace {

void append_word(std::u16string& text, const std::u16string& word, std::u16string_view separator) {
    if (word.empty()) {
        return;
    }
    if (!text.empty()) {
        text += separator;
    }
    text += word;
}

} // namespace

std::u16string ContactRecord::file_as() const {
    std::u16string given;
    append_word(given, (*this)[ContactField::first_name], u" ");
    append_word(given, (*this)[ContactField::middle_name], u" ");
    std::u16string filed = (*this)[ContactField::last_name];
    append_word(filed, given, u", ");
    return filed;
}

} // namespace handset
