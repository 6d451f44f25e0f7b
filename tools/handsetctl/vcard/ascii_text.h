// ASCII case and blanks, as vCard names and parameters use them: the values themselves are
// UTF-8 and left as they are.
#pragma once

#include <string>
#include <string_view>

namespace vcard {

std::string upper_case(std::string_view text);
std::string lower_case(std::string_view text);
bool equal_ignoring_case(std::string_view left, std::string_view right);
// Without the spaces and tabs at either end.
std::string_view trimmed(std::string_view text);

} // namespace vcard
