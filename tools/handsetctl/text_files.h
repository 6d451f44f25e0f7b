// The files that handsetctl imports and exports, "-" naming standard input or output.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace handsetctl {

// "standard input" for "-", else the file's name.
std::string input_name(const std::string& file);

// The whole file, read before anything is changed, so that one that cannot be read to its end
// changes nothing. noun says what the file should be ("a file of records") in the error for a
// folder; a file of more than largest bytes is refused rather than read without end.
std::string read_input(const std::string& file, std::string_view noun, size_t largest);

// Writes text to the file, or to out for "-". A file is written beside its place and renamed
// over it only once it is complete, so that a failed export leaves the earlier one as it was.
void write_output(const std::string& file, std::string_view text, std::ostream& out);

} // namespace handsetctl
